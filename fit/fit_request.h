// SPDX-License-Identifier: MIT
#pragma once
// What a fit is asked to do, read from the batch runner's options and checked whole before
// anything is written: the data, the parameters searched and their bounds, the weights, and
// every run's fixed options.
#include <cstdint>
#include <string>
#include <vector>

#include "ensemble/ensemble_options.h"
#include "fit/score.h"
#include "fit/search.h"
#include "fit/seed_runs.h"

// The pseudo-parameter that shifts the data: data day d is compared with model day d + offset.
extern const char* const kDayOffset;

// A fit's runs per point unless --runs says otherwise: one run's noise would steer the search.
constexpr int kDefaultFitRuns = 8;

struct FitRequest {
  FitTarget target;                     // the data and its weights; the offset is a point's
  std::vector<FitParameter> parameters; // in the order given, day-offset among them
  int offset_index = -1;                // day-offset's place in `parameters`, or -1
  int trials = 0, runs = 0, jobs = 1;
  uint32_t seed = 0; // the search's runs take seeds seed .. seed + runs - 1
  BatchOptions base; // every run's options but the fitted values, the seed and the CSV
  std::string out;
  bool force = false, quiet = false;
};

// Reads the fit that `options` ask for into a new *request. False with a one-line reason for a data
// file that is missing or not as described in observed_data.h, a parameter that is unknown, given
// twice, also given as an option, or bounded outside its range, a weight of no series of the data
// or not a number from 0 up, or more runs in all than an ensemble may take.
bool read_fit_request(const EnsembleOptions& options, FitRequest* request, std::string* error);

// The fitted value as a run option takes it: a whole number, or a real at its precision.
std::string fitted_text(const FitParameter& parameter, double value);

// A point's fitted run parameters as options, its run options (the base with them) and its day
// offset.
RunWords point_words(const FitRequest& request, const std::vector<double>& values);
BatchOptions point_options(const FitRequest& request, const std::vector<double>& values);
int point_offset(const FitRequest& request, const std::vector<double>& values);
