// SPDX-License-Identifier: MIT
#pragma once
// A parameter point's runs on a series of seeds, side by side in worker processes forked once
// from this process and kept for every point: a fit runs thousands of short runs, and starting a
// program, or even forking a process, for each would cost more than many of them take. Each run
// in a worker starts from the engine's program-start state, as a program started for it would.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "ensemble/workers.h"
#include "single_run/batch_options.h"
#include "single_run/run_files.h"

// Run options as given on a command line, without dashes: ("infection-rate", "20").
using RunWords = std::vector<std::pair<std::string, std::string>>;

class SeedRuns {
public:
  // Every run takes `base` with a point's words; runs write their daily CSVs into `folder`, a
  // private one, at most `jobs` at once. The workers start with the first run().
  SeedRuns(Workers* workers, const BatchOptions& base, std::string folder, int jobs);
  // Ends the workers and reaps them, so that `workers` holds none of them.
  ~SeedRuns();
  SeedRuns(const SeedRuns&) = delete;
  SeedRuns& operator=(const SeedRuns&) = delete;

  // Runs the base with `words` on the seeds first_seed .. first_seed + count - 1; (*rows)[i] is
  // the daily rows of seed first_seed + i, whatever order the runs end in. False with a one-line
  // reason when a run fails, its CSV does not read as a run writes it, a worker ends, or a stop
  // signal comes (then the workers' stop_signal() tells which); every worker has ended then.
  bool run(const RunWords& words, uint32_t first_seed, int count,
           std::vector<std::vector<DayFigures>>* rows, std::string* error);
  // Ends the workers now; a later run() starts them again.
  void end_workers();

private:
  struct Worker {
    int fd = -1;         // this side of its socket pair
    std::string pending; // reply text not yet a whole line
    bool busy = false;
  };
  bool start_workers(std::string* error);
  bool collect(Worker& w, uint32_t first_seed, std::vector<std::vector<DayFigures>>* rows,
               int* ended, std::string* error);
  bool take(int index, int status, uint32_t first_seed, std::vector<std::vector<DayFigures>>* rows,
            std::string* error);
  bool stop(std::string* error);
  std::string csv_path(int index) const;

  Workers* workers_;
  BatchOptions base_;
  std::string folder_;
  int jobs_;
  std::vector<Worker> pool_;
};
