// SPDX-License-Identifier: MIT
#pragma once
#include "ensemble/ensemble_commands.h"
#include "ensemble/ensemble_options.h"

// Fits the --fit-param values to the --fit data into --out DIR: searches the bounds on the same
// seeds for every point, scores the best points again on fresh seeds, and writes trials.csv,
// best.toml, fit.csv and fit.png there together, then prints the fresh score and the fitted
// values on one line. False with *failure as for an ensemble: bad usage (exit 2) for options or
// data that cannot be fitted, with nothing written; the stop signal; or the reason it failed.
bool run_fit(const EnsembleOptions& options, EnsembleFailure* failure);
