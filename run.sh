#!/usr/bin/env bash
# Installs what is missing, builds, writes a sample Tallyvane installation and
# runs the main job: the window when a display is present, otherwise a batch
# export of one of the sample's templates.
set -euo pipefail
cd "$(dirname "$0")"
./tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j 2
recordhaul="$PWD/build/recordhaul"
sample="$PWD/sample-data"
if [[ ! -f "$sample/templates/02-ar-customers.xdf" ]]; then
  "$recordhaul" sample "$sample" >/dev/null
  echo "Sample installation written to $sample"
fi
dirs=(--data "$sample/data" --system "$sample/sys" --programs "$sample/progs")

if "$recordhaul" --has-window; then
  # The window starts on the sample unless directories are saved already.
  "$recordhaul" dirs --if-unset "${dirs[@]}" >/dev/null
  exec "$recordhaul"
fi

template="$sample/templates/02-ar-customers.xdf"
echo "No display: running the sample template $template"
"$recordhaul" template show "$template" "${dirs[@]}" | head -n 6
out="$sample/exports/02-ar-customers.csv"
"$recordhaul" run "$template" "${dirs[@]}" --dest "$out" --overwrite
echo "First lines of $out:"
head -n 3 "$out"
