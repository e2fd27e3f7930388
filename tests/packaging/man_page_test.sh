#!/usr/bin/env bash
# The manual page and the program's own --help must not drift apart: every option that --help
# lists has an entry in the page and the other way round, and the page carries the version the
# program reports.
#   man_page_test.sh EPIDEMIC_BATCH MAN_PAGE
set -euo pipefail
batch=$1 page=$2
options=$("$batch" --help | grep -oE '^ +--[a-z][a-z-]*' | tr -d ' ' | sort -u)
count=$(wc -w <<<"$options")
[ "$count" -ge 20 ] || { echo "--help lists only $count options" >&2; exit 1; }
missing=0
for option in $options; do
  # In roff every hyphen is written \- ; an entry is a line that starts with a font macro.
  escaped=${option//-/\\\\-}
  grep -qE "^\.(B|BI|BR) $escaped( |$)" "$page" || { echo "not in the manual: $option" >&2; missing=1; }
done
# And the other way: an option the page describes (a tagged paragraph) that --help no longer
# lists is a stale entry.
described=$(grep -A1 '^\.TP' "$page" | grep -oE '^\.(B|BI|BR) (\\-)+[a-z][a-z\\-]*' |
  sed -E 's/^\.[A-Z]+ //; s/\\-/-/g' | sort -u)
for option in $described; do
  grep -qx -- "$option" <<<"$options" || { echo "not in --help: $option" >&2; missing=1; }
done
[ "$missing" -eq 0 ]
version=$("$batch" --version)
grep -q "^\.TH EPIDEMIC_BATCH 1 .*\"epidemic_sim ${version#epidemic_batch }\"" "$page" ||
  { echo "the manual's heading lacks the version of: $version" >&2; exit 1; }
# Rendering is checked where groff is at hand; it is not worth a dependency of its own.
if command -v groff >/dev/null; then
  warnings=$(groff -man -Tutf8 -z -wall "$page" 2>&1 | grep -vE 'cannot adjust|can.t break' || true)
  [ -z "$warnings" ] || { echo "$warnings" >&2; exit 1; }
fi
echo "$count options documented"
