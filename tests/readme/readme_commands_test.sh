#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Each indented block of the README's "Headless batch runner" runs as written in a fresh folder
# whose `build` holds the two programs, and must write its files.   ARGS: README BUILD_DIR [--no-fit]
# --no-fit leaves out the fit's block, minutes of runs under the sanitizers.
set -euo pipefail
readme=$1 build=$(realpath "$2") no_fit=${3:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$*" >&2; exit 1; }

# The section's indented lines, each block ended by "#END"; bash joins continued lines.
blocks=$(awk '
  /^## / { inside = ($0 == "## Headless batch runner"); next }
  !inside { next }
  /^    / { block = block substr($0, 5) "\n"; next }
  /[^ ]/ && block != "" { printf "%s", block; print "#END"; block = "" }
  END { if (block != "") { printf "%s", block; print "#END" } }' "$readme")
[ -n "$blocks" ] || fail "no commands found in the README's batch-runner section"

n=0
expected=("out.csv" "D/runs.csv D/ends.csv D/summary.csv D/bands.png D/manifest.txt"
  "commands.txt D/runs.csv D/ends.csv D/summary.csv D/bands.png D/runs/1-4.csv"
  "data.csv F/trials.csv F/best.toml F/fit.csv F/fit.png")
script=
while IFS= read -r line; do
  if [ "$line" != "#END" ]; then script+="$line"$'\n'; continue; fi
  if [ -n "$no_fit" ] && [[ "$script" == *"--fit "* ]]; then n=$((n + 1)) script=; continue; fi
  dir=$work/$n
  mkdir -p "$dir/build"
  ln -s "$build/epidemic_batch" "$build/epidemic_sim" "$dir/build/"
  (cd "$dir" && bash -euo pipefail -c "$script" >stdout 2>stderr) ||
    fail "README command block $n failed: $(tail -n 1 "$dir/stderr")"$'\n'"$script"
  for file in ${expected[$n]:-}; do
    [ -s "$dir/$file" ] || fail "README command block $n wrote no $file"
  done
  n=$((n + 1))
  script=
done <<<"$blocks"
[ "$n" -eq ${#expected[@]} ] || fail "expected ${#expected[@]} command blocks, found $n"
echo "$n README command blocks ran"
