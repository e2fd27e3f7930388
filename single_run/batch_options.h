// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>

#include "params/run_parameters.h"
#include "sim/schedules.h"
#include "sim/world.h"

// The largest --population, and so the largest count of persons a run's CSV can hold: the
// table's bound.
constexpr int kMaxPopulation = kMostPersons;

// What one run does, as its options say.
struct BatchOptions {
  RunParameters params = initial_run_parameters();
  uint32_t seed = 0;
  int max_days = 32768;
  std::string csv_path;    // empty: no CSV; "-": standard output
  std::string report_path; // empty: the report line goes to stdout only; "-": stdout
  SchedulePanel schedules; // both off unless given
};

// True when `name` (without its dashes) is an option of one run: a run parameter of the table,
// a schedule, or a single run's own option of the runner's table (seed, max-days, csv, report).
bool is_run_option(const std::string& name);
// Takes one run option's value into *options. False with the option's one-line message when
// the value is not one the option takes.
bool take_run_option(const std::string& name, const std::string& value, BatchOptions* options,
                     std::string* error);

// The --help text: the run parameters and schedules, then the runner's own options, each from its
// table.
std::string batch_usage();
// "epidemic_batch VERSION\n"
extern const char* const kBatchVersionLine;
