// SPDX-License-Identifier: MIT
#pragma once
#include <string>

#include "params/run_parameters.h"

// The batch runner's own options: everything epidemic_batch takes besides the run parameters and
// schedules of run_parameters.h, one row each, in the order --help lists them. The scan of the
// command line, each option's check of its value and --help read them here, and the manual
// page's check reads --help.

// How large an ensemble may be, whether a command line or a manifest asks: a typing slip must
// not ask for years of work, nor a folder from elsewhere for more memory than a merge should take.
constexpr int kMaxRunsPerPoint = 100000;
// The most days a run of an ensemble may go (--max-days), so that its daily CSV, one row per day
// up to the day that exceeds it, has a size a merge can bound; bands.png's days end there too.
constexpr int kMaxEnsembleDays = 32768;
// The most runs at once: a process each.
constexpr int kMostJobs = 256;

// What an option's value must be. A flag takes none, or =1 or =0; a whole number is checked
// against the row's range; a file or a folder must not be empty; text is its reader's to check.
enum class OptionValue { Flag, Whole, File, Folder, Text };

// Run: one run's own, which each run of an ensemble is given too. Program: what the program does
// instead of a run, or before it (--help, --version, the setup files). Ensemble: ensembles and
// sweeps, and Fit: fitting run parameters to observed data, which --help lists under headings of
// their own.
enum class OptionGroup { Run, Program, Ensemble, Fit };
// The most points a fit may search.
constexpr int kMostTrials = 100000;

struct RunnerOption {
  const char* name;        // without its dashes
  char letter;             // its one-letter form, or '\0'
  const char* placeholder; // what --help shows after the name, e.g. "N"; "" for a flag
  OptionValue value;
  long long low, high; // a whole number's range, which --help's explanation starts with
  const char* help;    // the rest of --help's explanation, its lines split by '\n'
  OptionGroup group;
};

RowSpan<RunnerOption> runner_options();
// Null when no row has that name.
const RunnerOption* find_runner_option(const std::string& name);

// Checks `text` as the row's value: for a flag "", "0" or "1", read as *number (1 unless "0");
// for a whole number, read as *number within the range; a file or folder not empty; any text.
// False with the option's one-line message otherwise, e.g. "--jobs must be a whole number from
// 1 to 256".
bool read_runner_value(const RunnerOption& row, const std::string& text, long long* number,
                       std::string* error);
