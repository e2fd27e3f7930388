// SPDX-License-Identifier: MIT
#pragma once
// The ensemble's commands: a run or a plan of one into DIR, and the merge of a planned DIR.
#include <string>
#include <vector>

#include "ensemble/ensemble_options.h"
#include "fileio/folder_claim.h"

// The processors online, 1 to 256: the default of --jobs.
int online_processors();

// Why an ensemble command failed: the one line that tells it, and what the front's exit status
// follows from.
struct EnsembleFailure {
  std::string message;
  bool bad_usage = false; // DIR holds something and --force was not given
  int stop_signal = 0;    // the SIGINT or SIGTERM that stopped it, or 0
};

// Creates DIR if need be and claims it (see FolderClaim), unless it holds something and `force`
// is false, which is bad usage. False with *failure otherwise.
bool claim_out_dir(const std::string& dir, bool force, FolderClaim* claim,
                   EnsembleFailure* failure);

// Runs the ensemble, or writes its plan, that the options describe into DIR; `command` is the
// command line, recorded in the manifest. False with *failure when a run failed, a file could not
// be written, DIR could not be used or a signal stopped it. Each failed run is told on stderr as
// it ends, before the failure that follows.
bool run_ensemble(const EnsembleOptions& options, const std::vector<std::string>& command,
                  EnsembleFailure* failure);

// Merges the run files of a planned DIR. False with *failure as above; the run files missing are
// told on stderr as they are found, the last of them or their count as the failure.
bool merge_ensemble(const std::string& dir, EnsembleFailure* failure);
