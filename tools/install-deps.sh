#!/usr/bin/env bash
# Installs the Debian packages of tools/packages.txt that are missing and,
# with --npm DIR, the npm packages of tools/npm into DIR (a folder of the
# build tree) with npm ci.
#   tools/install-deps.sh [--dry-run] [--npm DIR]
# Checks with dpkg first, so a second run costs nothing. A line of
# packages.txt may name a command after the package ("nodejs node"): a working
# command counts as the package, so a Node.js installed some other way is
# used rather than replaced. --dry-run prints what would be installed.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
dry_run=0
verb=Installing
npm_dir=
while [[ $# -gt 0 ]]; do
  case "$1" in
    --dry-run) dry_run=1; verb="Would install" ;;
    --npm) npm_dir=${2:?--npm needs a folder}; shift ;;
    *) echo "usage: install-deps.sh [--dry-run] [--npm DIR]" >&2; exit 2 ;;
  esac
  shift
done

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}
works() {
  command -v "$1" >/dev/null && "$1" --version >/dev/null 2>&1
}

missing=()
while read -r pkg cmd; do
  [[ -z "$pkg" || "$pkg" == \#* ]] && continue
  installed "$pkg" && continue
  [[ -n "$cmd" ]] && works "$cmd" && continue
  missing+=("$pkg")
done < "$here/packages.txt"

if [[ ${#missing[@]} -gt 0 ]]; then
  echo "$verb: ${missing[*]}"
  if [[ $dry_run -eq 0 ]]; then
    sudo=()
    if [[ $(id -u) -ne 0 ]]; then
      command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]}" >&2; exit 1; }
      sudo=(sudo -n)
    fi
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -q
    "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
fi

[[ -z "$npm_dir" ]] && exit 0
# The copy of the lock file in node_modules is written only after npm ci
# succeeded, so a removed folder, a changed lock file or a broken install
# all lead to a fresh npm ci.
stamp="$npm_dir/node_modules/.recordhaul-package-lock.json"
if [[ -f "$npm_dir/node_modules/mdb-reader/package.json" ]] &&
   cmp -s "$here/npm/package-lock.json" "$stamp"; then
  exit 0
fi
echo "$verb npm packages into $npm_dir"
[[ $dry_run -eq 1 ]] && exit 0
mkdir -p "$npm_dir"
cp "$here/npm/package.json" "$here/npm/package-lock.json" "$npm_dir/"
(cd "$npm_dir" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error)
cp "$here/npm/package-lock.json" "$stamp"
