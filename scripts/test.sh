#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests, then the
# end-to-end suite of the real exe under Wine + Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

cmake --preset native
cmake --build --preset native
ctest --preset native

# The end-to-end suite of the real program under Wine on an own Xvfb screen.
scripts/e2e.sh
