#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the simulator and starts it; extra arguments go to the program.
# EPI_BUILD_DIR chooses the build folder (default: build in the project).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure_deps.sh
build="${EPI_BUILD_DIR:-build}"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)" --target epidemic_sim
exec "$build/epidemic_sim" "$@"
