// SPDX-License-Identifier: MIT
#pragma once
#include "single_run/batch_options.h"

// Runs one epidemic as the options say: the report line on stdout and, when asked, the daily CSV
// and the report file, each appearing only when whole ("-" writes either to stdout). Returns the
// exit status: 0, or 1 after a one-line message when a file could not be written; a SIGINT or
// SIGTERM leaves no file behind and ends the process by that signal.
int run_single(const BatchOptions& options);
