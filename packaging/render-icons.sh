#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Renders the fixed-size icons from epidemic_sim.svg. Desktops that cannot scale an SVG pick
# one of these, so rerun this after editing the drawing and commit the PNGs with it.
set -euo pipefail
cd "$(dirname "$0")"
if ! command -v rsvg-convert >/dev/null; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends librsvg2-bin
fi
for size in 48 64 128; do
  rsvg-convert -w "$size" -h "$size" epidemic_sim.svg -o "icons/epidemic_sim-$size.png"
done
