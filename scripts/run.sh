#!/usr/bin/env bash
# Builds the simulator and starts it; extra arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure_deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target epidemic_sim
exec build/epidemic_sim "$@"
