#!/usr/bin/env bash
# Installs, as root on Debian, whatever the build and the tests need and is missing.
set -euo pipefail
packages=(g++ cmake make libfltk1.3-dev libxext-dev libpng-dev xvfb xauth libgtest-dev libbenchmark-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
