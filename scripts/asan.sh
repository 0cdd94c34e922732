#!/usr/bin/env bash
# Builds the native unit suite with AddressSanitizer and
# UndefinedBehaviorSanitizer (no recovery: the first report fails the test)
# in build/native-asan and runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

cmake --preset native-asan
cmake --build --preset native-asan
ctest --preset native-asan
