// SPDX-License-Identifier: MIT
#pragma once
// A parameter point's runs on a series of seeds, side by side in worker processes, each a single
// run forked from this process rather than a program started: a fit runs thousands of short runs,
// and starting the program would cost more than many of them take.
#include <cstdint>
#include <string>
#include <vector>

#include "ensemble/workers.h"
#include "single_run/batch_options.h"
#include "single_run/run_files.h"

class SeedRuns {
public:
  // Runs write their daily CSVs into `folder`, a private one, at most `jobs` at once.
  SeedRuns(Workers* workers, std::string folder, int jobs);

  // Runs `options` on the seeds first_seed .. first_seed + count - 1; (*rows)[i] is the daily rows
  // of seed first_seed + i, whatever order the runs end in. False with a one-line reason when a
  // run fails, its CSV does not read as a run writes it, or a stop signal comes (then
  // workers->stop_signal() tells which); every worker has ended then.
  bool run(const BatchOptions& options, uint32_t first_seed, int count,
           std::vector<std::vector<DayFigures>>* rows, std::string* error);

private:
  std::string csv_path(int index) const;
  bool start_next(const BatchOptions& options, uint32_t first_seed, int count, std::string* error);
  bool take(const Workers::End& end, uint32_t first_seed,
            std::vector<std::vector<DayFigures>>* rows, std::string* error);
  bool stop(std::string* error);

  Workers* workers_;
  std::string folder_;
  int jobs_;
  int next_ = 0;
  int max_days_ = 0;
};
