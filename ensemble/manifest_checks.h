// SPDX-License-Identifier: MIT
#pragma once
#include <string>

#include "ensemble/plan.h"

// A manifest's records checked against each other: every line but the command is what the
// program made of the command, so each must be what the command gives.

// The line, counted from 1, where each kind of record starts (a kind's records stand together);
// 0 for a kind that the manifest does not hold. `end` is the line after the last point.
struct RecordLines {
  long long command = 0, seed = 0, runs = 0, plot = 0, plot_days = 0, fixed = 0, varied = 0,
            point = 0, end = 0;
};

// The command, read as the command line it was (its --setup file, which a merge does not read,
// left out), must be an ensemble's that gives the plan's runs, its seed when it names one, its
// --plot and --plot-days, its varied options and every point in order, and each of its run
// options as a fixed line; without --setup, no other fixed line. False with "LINE: REASON" for
// the first record at odds with it, naming the command's line.
bool check_against_command(const Plan& plan, const std::string& command, const RecordLines& lines,
                           std::string* error);
