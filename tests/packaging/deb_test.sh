#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The package passes lintian and the metadata, menu entry and manual page validators, with its
# copyright and a changelog of its version.   deb_test.sh CPACK BUILD_DIR
set -euo pipefail
cpack=$1 build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$*" >&2; exit 1; }
# silent TOOL OUTPUT: the tool must have said nothing; else its first line is the reason.
silent() { [ -z "$2" ] || fail "$1: ${2%%$'\n'*}"; }

"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
  fail "cpack failed: $(tail -n1 "$work/cpack.log")"
debs=("$work"/*.deb)
[ -f "${debs[0]}" ] || fail "cpack made no package"
deb=${debs[0]}

# Root draws a notice on stderr; the tags are on stdout.
tags=$(lintian --fail-on none "$deb" 2>"$work/lintian.err") ||
  fail "lintian failed: $(tail -n1 "$work/lintian.err")"
silent lintian "$(grep -E '^[EW]: ' <<<"$tags" || true)"

root=$work/root
dpkg-deb -x "$deb" "$root"
doc=$root/usr/share/doc/$(dpkg-deb -f "$deb" Package)
[ -s "$doc/copyright" ] || fail "no copyright file in $doc"
gzip -dc "$doc/changelog.gz" >"$work/changelog" || fail "no readable changelog.gz in $doc"
logged=$(dpkg-parsechangelog -l "$work/changelog" -S Version 2>"$work/parse.err")
silent dpkg-parsechangelog "$(cat "$work/parse.err")"
[ "$logged" = "$(dpkg-deb -f "$deb" Version)" ] ||
  fail "the changelog's last version $logged is not the package's"

for metainfo in "$root"/usr/share/metainfo/*.xml; do
  report=$(appstreamcli validate --no-net --strict "$metainfo") ||
    fail "appstreamcli: $(grep -m1 -E '^ *[EWI]:' <<<"$report")"
done
for entry in "$root"/usr/share/applications/*.desktop; do
  silent desktop-file-validate "$(desktop-file-validate "$entry" 2>&1)"
done
# One page a call: given several gzipped pages, mandoc decompresses only the first.
for page in "$root"/usr/share/man/man1/*.gz; do
  silent mandoc "$(mandoc -T lint "$page" 2>&1 || true)"
done
