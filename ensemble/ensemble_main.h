// SPDX-License-Identifier: MIT
#pragma once

// Runs a command line that names an ensemble option (--runs, --vary, --jobs, --out, --force,
// --quiet, --plan, --merge) and returns the exit status: 0; 1 when a run failed or a file could
// not be written; 2 for bad usage; 128 + the signal when SIGINT or SIGTERM stopped it.
int ensemble_main(int argc, char** argv);
