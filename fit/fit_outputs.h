// SPDX-License-Identifier: MIT
#pragma once
// What a fit leaves in DIR, written together or not at all, and the line it prints.
#include <string>
#include <vector>

#include "ensemble/workers.h"
#include "fileio/file_set.h"
#include "fit/fit_bands.h"
#include "fit/fit_request.h"
#include "fit/search.h"
#include "setup/setup_file.h"

struct FitResult {
  const FitRequest& request;
  const std::vector<Trial>& trials;
  const FitChoice& choice;
  const FitTarget& best_target; // the data at the chosen point's offset
  const FitBands& best_bands;   // the chosen point's fresh runs
  Setup setup;                  // the fixed values, which best.toml holds with the fitted ones
};

// The first of the fresh seeds: the search's are seed .. seed + runs - 1, the fresh ones the
// next 4 x runs.
uint32_t fresh_seed(const FitRequest& request);

// The members of the output set, in the order they appear: trials.csv last, as whoever finds it
// finds the others whole.
std::vector<std::string> fit_output_names();

// trials.csv: "trial", each fitted parameter by name, "score", "S_share" for each series S of the
// data, "fresh_score" (blank for a point not scored again) and "chosen" (1 for the best point,
// else 0); one row per point searched, in the order searched.
void write_trials_csv(std::FILE* out, const FitResult& result);

// The setup of the chosen point: every run value, the fitted ones at the point's, and the first
// fresh seed, so that a run of it, or an ensemble of 4 x runs, repeats the fresh runs.
Setup best_setup(const FitResult& result);

// Writes every member into `set` (the plot through gnuplot, one of `workers`) and commits it.
bool write_fit_outputs(const FitResult& result, FileSet* set, Workers* workers, std::string* error);

// "FRESH_SCORE NAME=VALUE ...\n": the chosen point's fresh score and fitted values.
std::string fit_line(const FitResult& result);
