#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The manual page describes the options, ranges, defaults and version that --help gives.
#   man_page_test.sh EPIDEMIC_BATCH MAN_PAGE
set -euo pipefail
batch=$1 page=$2
options=$("$batch" --help | grep -oE '^ +(-h, )?--[a-z][a-z-]*' | sed 's/-h, //' | tr -d ' ' | sort -u)
# In roff every hyphen is written \- .
described=$(grep -A1 '^\.TP' "$page" | grep -oE '^\.(B|BI|BR) (\\-)+[a-z][a-z\\-]*' |
  sed -E 's/^\.[A-Z]+ //; s/\\-/-/g' | sort -u)
diff -u --label --help --label "$page" <(echo "$options") <(echo "$described")
# Each tagged paragraph on one line, hyphens plain: " .BI --population " N" Initial ... (50000)."
paragraphs=$(sed 's/\\-/-/g' "$page" |
  awk '/^\.(TP|SH|PP)/ { if (p != "") print p; p = ""; tp = /^\.TP/; next } tp { p = p " " $0 }
       END { print p }')
# --help's run parameter lines: "--NAME N  LOW..HIGH (DEFAULT)", a toggle's "--NAME 0|1  (DEFAULT)".
params=$("$batch" --help |
  sed -nE 's/^  --([a-z-]+) (N|R|0\|1) +(([0-9.]+)\.\.([0-9.]+) )?\(([0-9.]+)\)$/\1 \6 \4 \5/p')
[ "$(wc -l <<<"$params")" -ge 10 ] || { echo "--help lists too few run parameters" >&2; exit 1; }
while read -r name default low high; do
  text=$(grep -E "^ \.B[IR]? --$name \"" <<<"$paragraphs" || true)
  range="$low to $high"
  [ -n "$low" ] || range="0|1"
  [[ "$text" == *"$range"* && "$text" == *"($default)"* ]] ||
    { echo "$page: --$name lacks \"$range\" or \"($default)\": $text" >&2; exit 1; }
done <<<"$params"
# Every range --help gives from the two tables, the runner's own options' too ("--runs N  1..100000").
ranges=$("$batch" --help | sed -nE 's/^  --([a-z-]+) [^ ]+ +([0-9]+)\.\.([0-9]+).*/\1 \2 \3/p')
while read -r name low high; do
  grep -qE "^ \.B[IR]? --$name \".* $low to $high" <<<"$paragraphs" ||
    { echo "$page: --$name lacks \"$low to $high\"" >&2; exit 1; }
done <<<"$ranges"
version=$("$batch" --version)
grep -q "^\.TH EPIDEMIC_BATCH 1 .*\"epidemic_sim ${version#epidemic_batch }\"" "$page" ||
  { echo "the manual's heading lacks the version of: $version" >&2; exit 1; }
# Rendering is checked where groff is at hand; it is not worth a dependency of its own.
if command -v groff >/dev/null; then
  warnings=$(groff -man -Tutf8 -z -wall "$page" 2>&1 | grep -vE 'cannot adjust|can.t break' || true)
  [ -z "$warnings" ] || { echo "$warnings" >&2; exit 1; }
fi
echo "$(wc -l <<<"$options") options documented"
