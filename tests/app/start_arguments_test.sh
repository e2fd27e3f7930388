#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The simulator's command line with DISPLAY unset, so that opening a window would fail.
#   start_arguments_test.sh EPIDEMIC_SIM VERSION
set -uo pipefail
sim=$1 version=$2
unset DISPLAY
fail() { echo "$*" >&2; exit 1; }
out=$(mktemp)
trap 'rm -f "$out" "$out".*' EXIT

check() { # check STATUS STDOUT STDERR ARGS...: one run's status and its whole outputs
  local status=$1 want_out=$2 want_err=$3 got
  shift 3
  "$sim" "$@" >"$out" 2>"$out.err"
  got=$?
  [ "$got" = "$status" ] || fail "epidemic_sim $*: status $got, expected $status"
  [ "$(cat "$out")" = "$want_out" ] || fail "epidemic_sim $*: printed $(cat "$out")"
  [ "$(cat "$out.err")" = "$want_err" ] || fail "epidemic_sim $*: told $(cat "$out.err")"
}
usage=$("$sim" --help) || fail "epidemic_sim --help failed"
grep -q '^Usage: epidemic_sim \[POPULATION \[INACTIVITY\]\] \[FILE\]$' <<<"$usage" ||
  fail "no usage: $usage"
check 0 "$usage" "" -h
check 0 "epidemic_sim $version" "" --version
check 0 "epidemic_sim $version" "" 5000 --version
check 2 "" "epidemic_sim: unknown option --bogus (see --help)" --bogus
check 2 "" "epidemic_sim: unknown option -x (see --help)" 100 -x
# A setup file that cannot be opened ends the program before any window, told on one line.
printf 'format = 1\n[run]\npopulation = 5\nlockdown = 3\n' >"$out.toml"
check 2 "" "epidemic_sim: $out.toml:4: lockdown must be true or false, not an integer" \
  5000 "$out.toml" 20
check 2 "" "epidemic_sim: $out.none: cannot read: No such file or directory" "$out.none"
check 2 "" "epidemic_sim: one setup file at most: $out.toml and x" "$out.toml" x
"$sim" --help >/dev/full 2>"$out.err" && fail "epidemic_sim --help >/dev/full succeeded"
grep -qx 'epidemic_sim: cannot write standard output: No space left on device' "$out.err" ||
  fail "a full standard output was told as: $(cat "$out.err")"
