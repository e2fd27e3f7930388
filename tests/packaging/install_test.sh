#!/usr/bin/env bash
# What `cmake --install` puts in place must make a working menu entry: the entry names an
# installed program and an installed icon, in a category a menu shows, and both manual pages
# are there, compressed as Debian keeps them.   install_test.sh BUILD_DIR
set -euo pipefail
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR=$stage cmake --install "$1" --prefix /usr >/dev/null
usr=$stage/usr
fail() { echo "$*" >&2; exit 1; }
for program in epidemic_sim epidemic_batch; do
  [ -x "$usr/bin/$program" ] || fail "not installed: bin/$program"
  page=$(gzip -dc "$usr/share/man/man1/$program.1.gz") || fail "no manual page for $program"
  grep -q "^\.TH ${program^^} 1 \"\" \"epidemic_sim [0-9]" <<<"$page" ||
    fail "the manual page of $program has another heading or no version"
done
entry=$usr/share/applications/epidemic_sim.desktop
key() { sed -n "s/^$1=//p" "$entry"; }
[ "$(key Type)" = Application ] || fail "the entry is not an application"
[ -x "$usr/bin/$(key Exec | cut -d' ' -f1)" ] || fail "the entry starts no installed program"
grep -qE '(^|;)Education;' <<<"$(key Categories)" || fail "the entry is not under Education"
grep -qE '(^|;)Science;' <<<"$(key Categories)" || fail "the entry is not under Science"
icon=$(key Icon)
icons=$usr/share/icons/hicolor
[ -f "$icons/scalable/apps/$icon.svg" ] || fail "no scalable icon named $icon"
for size in 64 128; do
  png=$icons/${size}x$size/apps/$icon.png
  # A PNG's width and height are the big-endian words at bytes 16 and 20.
  [ "$(od -An -tx1 -j16 -N8 "$png" | tr -d ' \n')" = "$(printf '%08x%08x' "$size" "$size")" ] ||
    fail "$png is not a ${size}x$size PNG"
done
if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$entry"; fi
