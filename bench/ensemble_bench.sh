#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Times the ensemble machinery of epidemic_batch with repeated wall-clock runs (the median of
# REPEAT, 3 by default), the way hyperfine would:
#   1. 16 runs of 50,000 persons x 100 days with --jobs 1 and --jobs 2, and their ratio;
#   2. 1,000 runs of 500 persons x 10 days with --jobs 1, against the runs' own time (one such
#      run timed alone, less the start of a process that only prints its version), giving the
#      time the machinery adds per run, in wall time and in CPU time;
#   3. the parent process's peak resident set at 100, 2,000 and 20,000 runs (the last takes a
#      minute), which stays flat when the merge streams its rows to disk and makes a point's
#      spread window of days by window within a fixed budget.
# Usage: bench/ensemble_bench.sh [BUILD_DIR]   (default: build). Other work on the machine
# shows up as noise: run it when nothing else is compiling.
set -euo pipefail
build="${1:-build}"
batch="$(realpath "$build/epidemic_batch")"
repeat="${REPEAT:-3}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

now() { date +%s.%N; }
calc() { awk "BEGIN { printf \"%.6f\", $1 }"; }

# median_time COMMAND...: the median wall time of REPEAT runs, in seconds.
median_time() {
  local times=()
  for ((i = 0; i < repeat; i++)); do
    rm -rf "$work/out"
    local start end
    start="$(now)"
    "$@" >/dev/null
    end="$(now)"
    times+=("$(calc "$end - $start")")
  done
  printf '%s\n' "${times[@]}" | sort -g | sed -n "$(((repeat + 1) / 2))p"
}

big=(--seed 1 --population 50000 --max-days 100 --runs 16 --quiet --out "$work/out")
t1="$(median_time "$batch" "${big[@]}" --jobs 1)"
t2="$(median_time "$batch" "${big[@]}" --jobs 2)"
printf '16 runs of 50000 x 100 days: --jobs 1 %.2f s, --jobs 2 %.2f s, ratio %.3f\n' \
  "$t1" "$t2" "$(calc "$t2 / $t1")"

small=(--seed 1 --population 500 --arena-size 100 --max-days 10)
loop() { for ((k = 0; k < 200; k++)); do "$@"; done; }
alone="$(median_time loop "$batch" "${small[@]}")"
start_only="$(median_time loop "$batch" --version)"
ens="$(median_time "$batch" "${small[@]}" --runs 1000 --jobs 1 --quiet --out "$work/out")"
run_ms="$(calc "($alone - $start_only) / 200 * 1000")"
printf '1000 runs of 500 x 10 days: %.2f s in all; a run alone %.3f ms; the machinery adds %.3f ms per run\n' \
  "$ens" "$run_ms" "$(calc "$ens - $run_ms")"

# CPU seconds (user + system) of a command and everything it waited for: unlike wall time, it
# barely moves when other work shares the processors.
cpu_of() { /usr/bin/time -f "%U %S" "$@" 2>&1 >/dev/null | tail -1 | awk '{ print $1 + $2 }'; }
alone_cpu="$(cpu_of bash -c "for ((k = 0; k < 200; k++)); do $batch ${small[*]}; done")"
start_cpu="$(cpu_of bash -c "for ((k = 0; k < 200; k++)); do $batch --version; done")"
rm -rf "$work/out"
ens_cpu="$(cpu_of "$batch" "${small[@]}" --runs 1000 --jobs 1 --quiet --out "$work/out")"
run_cpu_ms="$(calc "($alone_cpu - $start_cpu) / 200 * 1000")"
printf 'in CPU time: a run alone %.3f ms; the machinery adds %.3f ms per run\n' \
  "$run_cpu_ms" "$(calc "$ens_cpu - $run_cpu_ms")"

# The parent's own peak (VmHWM), read until it exits; the workers and gnuplot are not counted.
parent_peak_kb() {
  "$@" >/dev/null &
  local pid=$! peak=0 kb
  while kb="$(awk '/^VmHWM/ { print $2 }' "/proc/$pid/status" 2>/dev/null)" && [ -n "$kb" ]; do
    peak="$kb"
    sleep 0.05
  done
  wait "$pid"
  echo "$peak"
}
for runs in 100 2000 20000; do
  rm -rf "$work/out"
  kb="$(parent_peak_kb "$batch" "${small[@]}" --runs "$runs" --jobs 2 --quiet --out "$work/out")"
  printf '%d runs: the parent process peaked at %d kB\n' "$runs" "$kb"
done
