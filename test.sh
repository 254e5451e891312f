#!/usr/bin/env bash
# Installs what is missing, builds into build/ and runs every test: the unit
# and end-to-end tests with a one-minute soak, then the unit tests again
# under AddressSanitizer with UndefinedBehaviorSanitizer, and the two-thread
# stress under ThreadSanitizer.
source "$(dirname "$0")/scripts/setup.sh"
install_missing "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
build build
build build-asan -- -DSYNTHSCOPE_SANITIZE=address -DSYNTHSCOPE_E2E=OFF
build build-tsan unit_tests -- -DSYNTHSCOPE_SANITIZE=thread -DSYNTHSCOPE_E2E=OFF

echo "== ThreadSanitizer: keys and blocks on two threads"
TSAN_OPTIONS="halt_on_error=1 exitcode=66" "$ROOT/build-tsan/tests/unit_tests" --gtest_filter='Stress.KeysAndBlocksOnTwoThreads'
echo "== AddressSanitizer and UndefinedBehaviorSanitizer: unit tests"
(cd "$ROOT/build-asan" && ASAN_OPTIONS="detect_leaks=1" ctest --output-on-failure -j2 --timeout 600)
echo "== Unit and end-to-end tests"
cd "$ROOT/build"
ctest --output-on-failure -j2 --timeout 900
