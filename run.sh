#!/usr/bin/env bash
# Installs what is missing, builds, writes a sample Tallyvane installation and
# runs the main job: the window when a display is present, otherwise a batch
# export of one of the sample's templates.
set -euo pipefail
cd "$(dirname "$0")"
./tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j 2
recordhaul=build/cli/recordhaul
sample="$PWD/sample-data"
if [[ ! -d "$sample/data" ]]; then
  "$recordhaul" sample "$sample"
fi
dirs=(--data "$sample/data" --system "$sample/sys" --programs "$sample/progs")

if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" && -x build/gui/recordhaul-window ]] ||
   [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]] && "$recordhaul" --has-window 2>/dev/null; then
  # Point the window at the sample unless the user has directories saved.
  if ! "$recordhaul" dirs --check >/dev/null 2>&1; then
    "$recordhaul" dirs "${dirs[@]}"
  fi
  exec "$recordhaul"
fi

echo "No display: exporting the sample's General Ledger chart of accounts as CSV."
out="$sample/exports"
mkdir -p "$out"
"$recordhaul" export --module QZGL --company 01 --file 1 --type 2 --all-fields \
  --dest "$out/chart-of-accounts.csv" --overwrite "${dirs[@]}"
echo "Written: $out/chart-of-accounts.csv"
head -n 5 "$out/chart-of-accounts.csv"
