// SPDX-License-Identifier: MIT
#pragma once

struct Setup;

// The simulator's command line: two optional whole numbers (the start-up population and
// inactivity percent, in that order), an optional setup file (any other argument that is not an
// option), or --help or --version, which print and end the program.
//
// Returns -1 when the program should start, with the numbers stored in the start-up values and
// the file, read whole and checked, in *setup (*has_setup true); otherwise the exit status for
// main to return at once (0 after help or version, 1 when that text could not be written, 2 for
// an option the program does not know or a setup file it cannot open, told on one line).
int read_start_arguments(int argc, char** argv, Setup* setup, bool* has_setup);
