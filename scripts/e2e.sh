#!/usr/bin/env bash
# Builds the Windows program with the end-to-end suite and runs the suite
# under Wine on an own Xvfb screen (tests/e2e/run-e2e.sh, through CTest).
#
# The shipped program is the 32-bit build (preset windows). On a host whose
# kernel runs no 32-bit code, Wine cannot run it, and the suite runs against
# the same sources built as a 64-bit program (preset windows64) instead.
#
#   scripts/e2e.sh [gtest filter]     e.g. scripts/e2e.sh 'E2E.Probe*'
set -euo pipefail
cd "$(dirname "$0")/.."

log() { echo "e2e.sh: $*" >&2; }
source scripts/lib/wine-build.sh
pick_wine_build

cmake --preset "$preset"
cmake --build --preset "$preset"
if [ $# -gt 0 ]; then
  export GTEST_FILTER="$1"
fi
ctest --preset "$preset" --label-regex e2e --no-tests=error --output-on-failure --verbose
