#!/usr/bin/env bash
# Installs what is missing, builds into build/ and runs every test.
source "$(dirname "$0")/scripts/setup.sh"
install_missing "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
build build
cd "$ROOT/build"
ctest --output-on-failure -j2 --timeout 600
