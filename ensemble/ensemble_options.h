// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "setup/setup_file.h"
#include "tools/batch_options.h"

// A run option over a list of values, as the run option itself would take them.
struct VariedOption {
  std::string name; // without its dashes, e.g. "infection-rate"
  std::vector<std::string> values;
};

// What a command line asks for: one run, an ensemble, a plan or a merge. A run option given
// plainly is passed on to every run of an ensemble.
struct EnsembleOptions {
  int runs = 1;
  int jobs = 1;
  std::string out;   // DIR of --out; empty: none
  std::string merge; // DIR of --merge; empty: none
  bool force = false;
  bool quiet = false;
  bool plan = false;
  bool help = false;
  bool version = false;
  std::vector<VariedOption> varied;
  std::vector<std::pair<std::string, std::string>> fixed; // ("--population", "3000"), no --seed
  std::vector<int> plot; // --plot's series, as daily figures; empty: not given
  int plot_days = 0;     // --plot-days; 0: not given
  uint32_t seed = 0;
  bool seed_given = false; // by --seed or the setup file
  BatchOptions single;     // the run options as one run takes them, the seed included
  std::string save_setup;  // FILE of --save-setup; empty: none
  // The file of --setup as read (the table's first values without one): its display settings
  // go on into --save-setup's file and an ensemble's setup.toml.
  Setup setup = initial_setup();
};

// How large an ensemble may be, whether a command line or a manifest asks: a typing slip must
// not ask for years of work, nor a folder from elsewhere for more memory than a merge should take.
// Every point costs the parent its values and its summary rows until the plot is drawn.
constexpr int kMaxRunsPerPoint = 100000;
constexpr long long kMaxPoints = 10000;
constexpr long long kMaxRuns = 10000000; // points times runs per point
// The most days a run of an ensemble may go (--max-days), so that its daily CSV, one row per day
// up to the day that exceeds it, has a size a merge can bound.
constexpr int kMaxEnsembleDays = 32768;

// Checks `value` of `option` (with its dashes) as a command line's --runs, or as a run option of
// an ensemble: as a single run takes it, with --max-days within kMaxEnsembleDays. False with the
// option's one-line message otherwise.
bool check_ensemble_value(const std::string& option, const std::string& value, std::string* error);

// False with a one-line message naming the cap when `points` points of `runs` runs exceed one.
bool check_ensemble_size(long long points, long long runs, std::string* error);

// Parses the batch runner's command line in one pass, with getopt_long over the table of run
// parameters and the runner's own options: a single run's, an ensemble's, a plan's or a merge's.
// `default_seed` stands for a missing --seed and `default_jobs` for a missing --jobs. Every run
// option and every varied value is checked as a single run checks it; a run option given twice
// counts once, with its last value. On bad usage returns false with a one-line message in
// *error. --setup FILE's [run] values count as options given before all others, so that the
// command line wins wherever it names the same option, and a varied option is varied over them.
bool parse_ensemble_options(int argc, char** argv, uint32_t default_seed, int default_jobs,
                            EnsembleOptions* options, std::string* error);

// True when the options describe one plain run that prints its report line and nothing else.
bool is_single_run(const EnsembleOptions& options);

// The setup that the options describe: the run options' values, the seed when one was given,
// and the display settings of --setup's file.
Setup described_setup(const EnsembleOptions& options);

// A --vary LIST: "A,B,C" as given, or FROM:TO:STEP with both ends included. False with a
// one-line message when the list is malformed; the values themselves are not checked here.
bool expand_value_list(const std::string& name, const std::string& list,
                       std::vector<std::string>* values, std::string* error);
