#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# `cmake --install` makes a working menu entry, metadata naming it, and both manual pages dated
# and compressed as Debian keeps them.   install_test.sh BUILD_DIR
set -euo pipefail
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR=$stage cmake --install "$1" --prefix /usr >/dev/null
usr=$stage/usr
fail() { echo "$*" >&2; exit 1; }
for program in epidemic_sim epidemic_batch; do
  [ -x "$usr/bin/$program" ] || fail "not installed: bin/$program"
  page=$(gzip -dc "$usr/share/man/man1/$program.1.gz") || fail "no manual page for $program"
  grep -qE "^\.TH ${program^^} 1 \"[0-9]{4}-[0-9]{2}-[0-9]{2}\" \"epidemic_sim [0-9]" <<<"$page" ||
    fail "the manual page of $program has another heading, no date or no version"
done
entries=("$usr"/share/applications/*.desktop)
[ ${#entries[@]} = 1 ] || fail "not one menu entry but: ${entries[*]}"
entry=${entries[0]}
key() { sed -n "s/^$1=//p" "$entry"; }
[ "$(key Type)" = Application ] || fail "the entry is not an application"
[ -x "$usr/bin/$(key Exec | cut -d' ' -f1)" ] || fail "the entry starts no installed program"
grep -qE '(^|;)Education;' <<<"$(key Categories)" || fail "the entry is not under Education"
icon=$(key Icon)
icons=$usr/share/icons/hicolor
[ -f "$icons/scalable/apps/$icon.svg" ] || fail "no scalable icon named $icon"
for size in 48 64 128; do
  png=$icons/${size}x$size/apps/$icon.png
  # A PNG's width and height are the big-endian words at bytes 16 and 20.
  [ "$(od -An -tx1 -j16 -N8 "$png" | tr -d ' \n')" = "$(printf '%08x%08x' "$size" "$size")" ] ||
    fail "$png is not a ${size}x$size PNG"
done
# The metadata must name the entry it describes, which only a check of the whole tree sees.
report=$(appstreamcli validate-tree --no-net --strict "$stage") ||
  fail "appstreamcli validate-tree: $(grep -m1 -E '^ *[EWI]:' <<<"$report")"
