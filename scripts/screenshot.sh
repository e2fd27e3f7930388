#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Renews docs/screenshot.png: starts the simulator on a private X server, plays two runs through
# its control panel and captures the screen with the control panel, the arena stopped in the
# middle of the second run's epidemic, and the results window overlaying both runs. Then renews
# docs/ensemble.png: the Ensemble window after a vaccination sweep run from it.
# Needs root on Debian for the tools it installs; EPI_BUILD_DIR chooses the build (default build).
set -euo pipefail
cd "$(dirname "$0")/.."
readonly width=1860 height=1120

if [ -z "${EPI_SCREENSHOT_DISPLAY:-}" ]; then
  tools=(xvfb xauth xdotool imagemagick)
  missing=()
  for p in "${tools[@]}"; do
    dpkg -s "$p" 2>/dev/null | grep -q '^Status: install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
  build=${EPI_BUILD_DIR:-build}
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" -j"$(nproc)" --target epidemic_sim epidemic_batch
  exec env EPI_SCREENSHOT_DISPLAY=1 EPI_SIM="$build/epidemic_sim" \
    xvfb-run -a -s "-screen 0 ${width}x${height}x24" "$0"
fi

log=$(mktemp)
sim=
trap 'if [ -n "$sim" ]; then kill "$sim" 2>/dev/null || true; fi; rm -rf "$log" "$log.png" "$log.data"' EXIT
# The ensemble's folder goes to a private data folder, not the user's.
XDG_DATA_HOME="$log.data" "$EPI_SIM" >"$log" &
sim=$!

window() { timeout 30 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1; }
click() { xdotool mousemove --window "$control" "$1" "$2" click 1; sleep 0.3; }
click_in() { xdotool mousemove --window "$1" "$2" "$3" click 1; sleep 0.3; }
# A text field of the panel: the text is what a run reads, so typing it is enough.
type_value() {
  click $(($1 + 30)) $(($2 + 10))
  xdotool key --clearmodifiers ctrl+a type "$3"
  xdotool key Tab
}
wait_reports() {
  for _ in $(seq 1500); do
    [ "$(wc -l <"$log")" -ge "$1" ] && return 0
    sleep 0.2
  done
  echo "no report line $1 from the simulator" >&2
  exit 1
}
# Without a window manager the windows go where they are told, side by side; each run start
# shows the arena and each run end a new results window where they would cover the panel.
place() {
  local id
  for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
    xdotool windowmove "$id" "$2" "$3"
  done
}
arrange() {
  place Control 0 0
  place Test 200 715
  place Charts 812 0
  sleep 0.5
}

control=$(window Control)
click 555 300 # show the healthy
click 555 320 # show the recovered and the vaccinated
started=$(date +%s%N)
click 60 20 # Start: the first run goes to its end
arrange
wait_reports 1
# The pace of the first run (days per second on this machine) times when to stop the second
# run: near day 50, when its epidemic is close to its peak.
ms=$((($(date +%s%N) - started) / 1000000))
days=$(sed -n '1s/.* DAYS: \([0-9]*\) .*/\1/p' "$log")
arrange
type_value 150 80 20 # a higher infection rate
type_value 150 170 0 # and nobody kept still
type_value 550 260 2 # but 2 % of the healthy vaccinated a day
click 60 20
arrange
sleep "$(awk -v ms="$ms" -v days="$days" 'BEGIN { printf "%.2f", ms / 1000 * 50 / days }')"
click 170 20 # Stop: the second run's epidemic is cut off midway
wait_reports 2
arrange
# The server's root window stays black whatever its background is set to, so the windows are
# cut out of the capture and laid on a plain desktop colour instead.
/usr/bin/import -window root "$log.png"
layers=()
for name in Control Test Charts; do
  eval "$(xdotool getwindowgeometry --shell "$(window "$name")")"
  layers+=("(" "$log.png" -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage ")" -geometry "+$X+$Y" -composite)
done
mkdir -p docs
/usr/bin/convert -size "${width}x$height" xc:'#4a5361' "${layers[@]}" docs/screenshot.png
echo "wrote docs/screenshot.png"

# The Ensemble window: the second run's scenario at a fifth of the population, with 2 % of the
# sick dying, 12 runs at each of three vaccination rates.
type_value 150 50 10000
type_value 550 230 2
click 705 340 # "Ensemble…"
ensemble=$(window Ensemble)
xdotool windowmove "$ensemble" 0 0
sleep 0.5
click_in "$ensemble" 75 20 # Runs
xdotool key --clearmodifiers ctrl+a type 12
click_in "$ensemble" 225 20 # Vary: its menu, down to "vaccination"
xdotool key --delay 50 $(printf 'Down %.0s' $(seq 14)) Return
click_in "$ensemble" 430 20 # Values
xdotool key --clearmodifiers ctrl+a type 0,1,2
xdotool key --clearmodifiers ctrl+r
for _ in $(seq 1500); do
  compgen -G "$log.data/epidemic-sim/ensembles/*/summary.csv" >/dev/null && break
  sleep 0.2
done
compgen -G "$log.data/epidemic-sim/ensembles/*/summary.csv" >/dev/null ||
  { echo "the Ensemble window's sweep wrote no summary.csv" >&2; exit 1; }
sleep 2 # its last redraw
/usr/bin/import -window root "$log.png"
eval "$(xdotool getwindowgeometry --shell "$ensemble")"
/usr/bin/convert "$log.png" -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage docs/ensemble.png
cat "$log"
echo "wrote docs/ensemble.png"
