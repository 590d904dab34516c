#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each for
# SECONDS (default 600), one after the other on one core.
#   fuzz/run-long.sh [SECONDS] [TARGET...]      targets: all when none given
# The seeds come from the sample writer (fuzz_seeds); what a run adds to the
# corpus stays in build-fuzz/corpus/<target>/ for the next run. An input that
# crashes, hangs (10 s) or runs out of memory (2 GB) is kept as
# build-fuzz/crashes/<target>-<kind>-<sha1> and fails the script; replay it
# with build-fuzz/tests/fuzz/fuzz_<target> FILE. Every run is added to
# build-fuzz/fuzz-runs.log (date, target, seconds taken, inputs executed,
# result).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-600}
shift || true
all=(dictionary companies data_file template sql connection_string mdb_engine dbf_driver
     xls_driver)
targets=("${@:-${all[@]}}")
[[ ${#targets[@]} -eq 0 ]] && targets=("${all[@]}")

if ! command -v clang++ >/dev/null; then
  echo "fuzz: clang++ not found (install clang and libclang-rt-14-dev)" >&2
  exit 77
fi

build=build-fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRECORDHAUL_GUI=OFF -DRECORDHAUL_FUZZ=ON >/dev/null
cmake --build "$build" --target fuzz_targets -j 2
bin=$build/tests/fuzz
rm -rf "$build/seeds"
"$bin/fuzz_seeds" "$build/seeds" >/dev/null
mkdir -p "$build/crashes" "$build/logs"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export TZ=UTC
failed=0
printf '%-18s %8s %14s %8s  %s\n' target seconds inputs corpus result
for t in "${targets[@]}"; do
  [[ -x "$bin/fuzz_$t" ]] || { echo "fuzz: no target $t" >&2; exit 2; }
  mkdir -p "$build/corpus/$t"
  dict=()
  [[ $t == sql || $t == connection_string || $t == mdb_engine || $t == *_driver ]] &&
    dict=(-dict=fuzz/sql.dict)
  log=$build/logs/$t.log
  result=ok
  start=$(date +%s)
  if ! "$bin/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$build/crashes/$t-" "${dict[@]}" \
      "$build/corpus/$t" "$build/seeds/$t" >"$log" 2>&1; then
    result="FAILED (see $log)"
    failed=1
  fi
  took=$(($(date +%s) - start))
  # A run that stops early prints no final statistics: take the last status line.
  inputs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  [[ -z $inputs ]] && inputs=$(sed -n 's/^#\([0-9]*\).*/\1/p' "$log" | tail -1)
  corpus=$(find "$build/corpus/$t" -type f | wc -l)
  printf '%-18s %8s %14s %8s  %s\n' "$t" "$took" "${inputs:-?}" "$corpus" "$result"
  printf '%s %s %s %s %s\n' "$(date -u +%FT%TZ)" "$t" "$took" "${inputs:-0}" \
    "${result%% *}" >>"$build/fuzz-runs.log"
done
exit $failed
