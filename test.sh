#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite.
#   ./test.sh              Release build in build/, then every fuzzer for a
#                          short run (build-fuzz/, clang; skipped without it)
#   ./test.sh --sanitize   AddressSanitizer + UBSan build in build-asan/, the
#                          whole suite with leak checking, no fuzzing
#   ./test.sh --tsan       ThreadSanitizer build in build-tsan/, the export
#                          tests (the threaded text and table exports among
#                          them)
# RH_FUZZ_SECONDS sets the seconds per fuzzer (default 20; 0 skips fuzzing);
# fuzz/run-long.sh runs them for longer.
set -euo pipefail
cd "$(dirname "$0")"

build=build
flags=(-DCMAKE_BUILD_TYPE=Release)
sanitize=0
tests=()
if [[ "${1:-}" == "--tsan" ]]; then
  sanitize=1
  build=build-tsan
  flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DRECORDHAUL_TSAN=ON -DRECORDHAUL_GUI=OFF)
  tests=(-R 'Formatting|ExportRun|ExportFault|TextWriter|TableWriter|TableExport|ExportVerb')
  export TSAN_OPTIONS=halt_on_error=1
elif [[ "${1:-}" == "--sanitize" ]]; then
  sanitize=1
  build=build-asan
  flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DRECORDHAUL_SANITIZE=ON)
  # Any finding, leaks included, fails its test; the suite needs no
  # suppressions (the Qt tests included).
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi
# The npm readers go into the build tree, where the tests look for them.
./tools/install-deps.sh --npm "$build/npm"
# Every independent reader is installed now: a test that finds one missing
# fails instead of skipping, so no run passes without them.
export RECORDHAUL_REQUIRE_READERS=1
cmake -S . -B "$build" -G Ninja "${flags[@]}" >/dev/null
cmake --build "$build" -j 2
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j 2 "${tests[@]}"

if [[ $sanitize -eq 0 && ${RH_FUZZ_SECONDS:-20} -gt 0 ]]; then
  if command -v clang++ >/dev/null; then
    fuzz/run-long.sh "${RH_FUZZ_SECONDS:-20}"
  else
    echo "fuzzing skipped: clang++ not installed"
  fi
fi
