#!/bin/sh
# make-man-page.sh RECORDHAUL OUT.1
# Writes recordhaul's man page from its own help: help2man turns
# 'recordhaul --help' and '--version' into the page, and each verb's
# 'recordhaul help VERB' becomes a part of the VERBS section, so the page
# never says other than the program does.
set -eu
program=$1
out=$2
include=$out.include
{
  echo "[VERBS]"
  "$program" --help | sed -n '/^Verbs:/,/^$/p' | sed -n 's/^  \([a-z][a-z]*\) .*/\1/p' |
    while read -r verb; do
      echo ".SS $verb"
      echo ".nf"
      # Lines starting with a dot or quote would be read as requests; a
      # plain '-' may print as a hyphen, which no shell takes for a minus.
      "$program" help "$verb" |
        sed -e 's/\\/\\e/g' -e 's/-/\\-/g' -e "s/^\([.']\)/\\\\\&\1/"
      echo ".fi"
    done
  echo "[FILES]"
  echo "~/.config/Quillmont Software/recordhaul.ini: the saved directories"
  echo "(section [dirs]) and the window's text encoding (section [export])."
} >"$include"
help2man --no-info --section=1 \
  --name="export Tallyvane accounting data to text, Excel, dBase and Access files" \
  --include="$include" --output="$out" "$program"
rm -f "$include"
