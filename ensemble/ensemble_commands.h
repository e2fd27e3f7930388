// SPDX-License-Identifier: MIT
#pragma once
// The ensemble's commands: a run or a plan of one into DIR, and the merge of a planned DIR.
#include <string>
#include <vector>

#include "ensemble/ensemble_options.h"

// The processors online, 1 to 256: the default of --jobs.
int online_processors();

// Runs the ensemble, or writes its plan, that the options describe into DIR; `command` is the
// command line, recorded in the manifest. Returns the exit status: 0; 1 when a run failed or a
// file could not be written; 2 for bad usage; 128 + the signal when SIGINT or SIGTERM stopped it.
int run_ensemble(const EnsembleOptions& options, const std::vector<std::string>& command);

// Merges the run files of a planned DIR, with the same exit statuses.
int merge_ensemble(const std::string& dir);
