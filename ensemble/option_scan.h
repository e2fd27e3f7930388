// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <utility>
#include <vector>

// Options as given: each one's name without its dashes and its value ("" for a flag without
// one), in order. A command line is scanned into them; a manifest's records make them too.
using OptionWords = std::vector<std::pair<std::string, std::string>>;

// Scans the batch runner's command line once, with getopt_long over the table of run parameters
// and schedules and the table of the runner's own options. Stops after --help or --version (but
// not =0), which print whatever else was given, and at "--". False with a one-line message for
// an option that no table holds (an abbreviation of one included: a plan must not depend on
// which other names exist), a value missing, or a word that is no option.
bool scan_command_line(int argc, char** argv, OptionWords* given, std::string* error);
