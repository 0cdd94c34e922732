#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build/fuzz (separate from the g++
# builds) and gives each a short bounded run, starting from the committed seed
# corpus in fuzz/corpus/<target>/. New inputs are kept in build/fuzz/corpus/,
# crash inputs in build/fuzz/artifacts/. Exits non-zero when a target finds a
# fault or does not build.
#
#   TALDORIS_FUZZ_SECONDS   seconds per target (default 45)
#   TALDORIS_FUZZ_TARGETS   targets to run (default: all)
set -euo pipefail
cd "$(dirname "$0")/.."

TALDORIS_EXTRA_PACKAGES="${TALDORIS_EXTRA_PACKAGES:-} clang libclang-rt-14-dev" scripts/install-deps.sh

seconds="${TALDORIS_FUZZ_SECONDS:-45}"
targets="${TALDORIS_FUZZ_TARGETS:-text_search text_make name_check cursor_walk}"
build=build/fuzz

cmake -S fuzz -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
mkdir -p "$build/artifacts"
status=0
for target in $targets; do
  work="$build/corpus/$target"
  mkdir -p "$work"
  echo "fuzz: $target for ${seconds}s"
  if ! "$build/${target}_fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -max_len=4096 -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" \
      "$work" "fuzz/corpus/$target" >"$build/$target.log" 2>&1; then
    echo "fuzz: $target FAILED; log: $build/$target.log" >&2
    tail -n 40 "$build/$target.log" >&2
    status=1
  else
    grep -E '^stat::number_of_executed_units|^Done' "$build/$target.log" || true
  fi
done
exit $status
