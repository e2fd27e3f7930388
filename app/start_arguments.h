// SPDX-License-Identifier: MIT
#pragma once
#include <string>

#include "setup/setup_file.h"

// What the simulator's command line asks for.
struct StartArguments {
  const char* text = nullptr; // --help's or --version's text, to print instead of starting
  bool has_setup = false;     // a setup file was named, and read into `setup`
  Setup setup;
};

// The simulator's command line: two optional whole numbers (the start-up population and
// inactivity percent, in that order), an optional setup file (any other argument that is not an
// option), or --help or --version, which print and end the program.
//
// Stores the numbers in the start-up values and the file, read whole and checked, in *start.
// False with one line in *error for an option the program does not know or a setup file it
// cannot open.
bool read_start_arguments(int argc, char** argv, StartArguments* start, std::string* error);
