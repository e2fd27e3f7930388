// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>

#include "sim/schedules.h"
#include "sim/world.h"

// The largest --population, and so the largest count of persons a run's CSV can hold.
constexpr int kMaxPopulation = 350000;

struct BatchOptions {
  RunParameters params;
  uint32_t seed = 0;
  int max_days = 32768;
  std::string csv_path;    // empty: no CSV
  std::string report_path; // empty: the report line goes to stdout only
  PolicyArray inactivity_schedule{};
  PolicyArray quarantine_schedule{};
  bool inactivity_schedule_on = false;
  bool quarantine_schedule_on = false;
  bool help = false;
  bool version = false;
};

// Parses the command line. On a bad option returns false with a one-line message in *error.
bool parse_batch_options(int argc, char** argv, uint32_t default_seed, BatchOptions* options,
                         std::string* error);

// Every whole number the program reads: an optional '-' then digits only (no '+', no spaces),
// from low to high. The one parser of options, manifests and run files alike.
bool parse_whole_number(const std::string& text, long long low, long long high, long long* out);

extern const char* const kBatchUsage;
// "epidemic_batch VERSION\n"
extern const char* const kBatchVersionLine;

// The text with every control character shown as an escape (\n, \t, \x1b...), so that a
// message quoting the user's input stays on one line.
std::string escape_controls(const std::string& text);
