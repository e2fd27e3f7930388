// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "ensemble/option_scan.h"
#include "params/runner_options.h"
#include "setup/setup_file.h"
#include "single_run/batch_options.h"

// A run option over a list of values, as the run option itself would take them.
struct VariedOption {
  std::string name; // without its dashes, e.g. "infection-rate"
  std::vector<std::string> values;
};

// What a command line asks for: one run, an ensemble, a plan, a merge or a fit. A run option given
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
  // A fit: DATA.csv of --fit (empty: none), the values of --fit-param and --fit-weight as given,
  // in order, and --trials. The fit itself reads them.
  std::string fit;
  std::vector<std::string> fit_params, fit_weights;
  int trials = 200;
  bool runs_given = false;  // a fit runs more than one run per point unless told
  bool fit_options = false; // --fit-param, --fit-weight or --trials given
  // The file of --setup as read (the table's first values without one): its display settings
  // go on into --save-setup's file and an ensemble's setup.toml.
  Setup setup = initial_setup();
};

// Takes options as given, in order: a single run's, an ensemble's, a plan's or a merge's.
// `default_seed` stands for a missing --seed and `default_jobs` for a missing --jobs. Every run
// option and every varied value is checked as a single run checks it; a run option given twice
// counts once, with its last value. On bad usage returns false with a one-line message in
// *error. --setup FILE's [run] values count as options given before all others, so that the
// given options win wherever they name the same one, and a varied option is varied over them.
bool read_ensemble_options(const OptionWords& given, uint32_t default_seed, int default_jobs,
                           EnsembleOptions* options, std::string* error);

// The command line scanned (scan_command_line), then read as above.
bool parse_ensemble_options(int argc, char** argv, uint32_t default_seed, int default_jobs,
                            EnsembleOptions* options, std::string* error);

// True when the options describe one plain run that prints its report line and nothing else.
bool is_single_run(const EnsembleOptions& options);

// The setup that the options describe: the run options' values, the seed when one was given,
// and the display settings of --setup's file.
Setup described_setup(const EnsembleOptions& options);
