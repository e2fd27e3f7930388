#pragma once
#include <cstdint>
#include <string>

#include "sim/schedules.h"
#include "sim/world.h"

struct BatchOptions {
  RunParameters params;
  uint32_t seed = 0;
  int max_days = 32768;
  std::string csv_path; // empty: no CSV
  PolicyArray inactivity_schedule{};
  PolicyArray quarantine_schedule{};
  bool inactivity_schedule_on = false;
  bool quarantine_schedule_on = false;
  bool help = false;
};

// Parses the command line. On a bad option returns false with a one-line message in *error.
bool parse_batch_options(int argc, char** argv, uint32_t default_seed, BatchOptions* options,
                         std::string* error);

extern const char* const kBatchUsage;
