// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <vector>

#include "ensemble/ensemble_options.h"

// What an ensemble's options must be, beyond each value alone: --vary's lists and the options
// that go together. A command line and a manifest are checked here alike.

// Every point costs the parent its values and its summary rows until the plot is drawn.
constexpr long long kMaxPoints = 10000;
constexpr long long kMaxRuns = 10000000; // points times runs per point

// Checks `value` of `option` (with its dashes) as a command line's --runs, or as a run option of
// an ensemble: as a single run takes it, with --max-days within kMaxEnsembleDays. False with the
// option's one-line message otherwise.
bool check_ensemble_value(const std::string& option, const std::string& value, std::string* error);

// False with a one-line message naming the cap when `points` points of `runs` runs exceed one.
bool check_ensemble_size(long long points, long long runs, std::string* error);

// A --vary LIST: "A,B,C" as given, or FROM:TO:STEP with both ends included. False with a
// one-line message when the list is malformed; the values themselves are not checked here.
bool expand_value_list(const std::string& name, const std::string& list,
                       std::vector<std::string>* values, std::string* error);

// A --vary NAME=LIST after the `earlier` ones: a run option that takes one number, not varied
// before, over values that each check as its value in an ensemble.
bool read_varied(const std::string& assignment, const std::vector<VariedOption>& earlier,
                 VariedOption* varied, std::string* error);

// The options together: --merge alone (but --quiet), --fit with --out and without --vary or
// --plan, --out where an ensemble's options ask for one, no --csv or --report or a longer
// --max-days with it, nothing both given and varied, and a size within the caps.
bool check_combination(const EnsembleOptions& options, std::string* error);
