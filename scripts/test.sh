#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds everything twice (optimised, and with AddressSanitizer + UndefinedBehaviorSanitizer)
# and runs every test of both builds; the GUI tests run on a private Xvfb display.
# EPI_BUILD_DIR chooses where the builds go (default: build and build-asan in the project).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure_deps.sh
jobs="$(nproc)"
build="${EPI_BUILD_DIR:-build}"
# Warnings are errors here, so that none lands.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DEPI_WERROR=ON
cmake --build "$build" -j"$jobs"
cmake -S . -B "$build-asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DEPI_SANITIZE=ON -DEPI_BENCH=OFF \
  -DEPI_WERROR=ON
cmake --build "$build-asan" -j"$jobs"
for dir in "$build" "$build-asan"; do
  # -noreset: the server otherwise resets whenever a test's last client leaves, and a test that
  # connects during that reset is refused.
  xvfb-run -a -s "-screen 0 1600x1200x24 -noreset" ctest --test-dir "$dir" --output-on-failure \
    -j"$jobs"
done
