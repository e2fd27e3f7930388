#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The manual page and the program's own --help must not drift apart: the options --help lists
# are the ones the page describes, each in a tagged paragraph, and the page carries the version
# the program reports.   man_page_test.sh EPIDEMIC_BATCH MAN_PAGE
set -euo pipefail
batch=$1 page=$2
options=$("$batch" --help | grep -oE '^ +--[a-z][a-z-]*' | tr -d ' ' | sort -u)
# In roff every hyphen is written \- .
described=$(grep -A1 '^\.TP' "$page" | grep -oE '^\.(B|BI|BR) (\\-)+[a-z][a-z\\-]*' |
  sed -E 's/^\.[A-Z]+ //; s/\\-/-/g' | sort -u)
diff -u --label --help --label "$page" <(echo "$options") <(echo "$described")
version=$("$batch" --version)
grep -q "^\.TH EPIDEMIC_BATCH 1 .*\"epidemic_sim ${version#epidemic_batch }\"" "$page" ||
  { echo "the manual's heading lacks the version of: $version" >&2; exit 1; }
# Rendering is checked where groff is at hand; it is not worth a dependency of its own.
if command -v groff >/dev/null; then
  warnings=$(groff -man -Tutf8 -z -wall "$page" 2>&1 | grep -vE 'cannot adjust|can.t break' || true)
  [ -z "$warnings" ] || { echo "$warnings" >&2; exit 1; }
fi
echo "$(wc -l <<<"$options") options documented"
