#!/usr/bin/env bash
# Builds everything and runs every test, stopping at the first failure:
#   1. the native unit tests (GoogleTest against the fake desktop),
#   2. the same suite under AddressSanitizer and UndefinedBehaviorSanitizer,
#   3. short bounded fuzz runs,
#   4. the check of the shipped 32-bit program file,
#   5. the end-to-end suite of the real program under Wine on an own Xvfb
#      screen (last, so its CTest summary closes the output).
# Exits non-zero when any of them fails. Needs no display and no input.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

cmake --preset native
cmake --build --preset native
ctest --preset native

scripts/asan.sh
scripts/fuzz.sh

cmake --preset windows
cmake --build --preset windows
ctest --preset windows --label-regex static --no-tests=error

scripts/e2e.sh
