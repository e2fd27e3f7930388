// SPDX-License-Identifier: MIT
#pragma once

// The simulator's command line: two optional whole numbers (the start-up population and
// inactivity percent), or --help or --version, which print and end the program.
//
// Returns -1 when the program should start, with the numbers stored in the start-up values;
// otherwise the exit status for main to return at once (0 after help or version, 1 when that
// text could not be written, 2 for an option the program does not know).
int read_start_arguments(int argc, char** argv);
