#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs, as root on Debian, whatever the build and the tests need and is missing.
# libfltk1.3-dev only recommends fluid and the OpenGL headers, but FLTK's CMake package refers to
# all three, so a configure without them fails; they are listed here on purpose. `time` is
# GNU time (/usr/bin/time), with which the tests measure a merge's peak memory. python3 brings
# tomllib, the independent TOML reader that checks the setup files this program writes;
# python3-pandas reads points.csv in the tests as an analyst would.
set -euo pipefail
packages=(
  g++ cmake make pkg-config
  libfltk1.3-dev fluid libgl-dev libglu1-mesa-dev libxext-dev libpng-dev
  libcli11-dev libgtest-dev libbenchmark-dev libtomlplusplus-dev libnlopt-cxx-dev
  xvfb xauth
  gnuplot-nox parallel
  dpkg-dev file time python3 python3-pandas
  lintian appstream desktop-file-utils mandoc
)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" 2>/dev/null | grep -q '^Status: install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
