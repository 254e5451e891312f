#!/usr/bin/env bash
# Installs what is missing, builds into build/ and starts the synthesiser.
source "$(dirname "$0")/scripts/setup.sh"
install_missing "${BUILD_PACKAGES[@]}"
build build
exec "$ROOT/build/synthscope" "$@"
