// SPDX-License-Identifier: MIT
#include "fit/seed_runs.h"

#include <algorithm>
#include <csignal>
#include <cstdio>

#include "fileio/atomic_file.h"
#include "fileio/regular_file.h"
#include "sim/schedules.h"
#include "sim/world.h"
#include "single_run/single_run.h"

SeedRuns::SeedRuns(Workers* workers, std::string folder, int jobs)
    : workers_(workers), folder_(std::move(folder)), jobs_(std::max(1, jobs)) {}

std::string SeedRuns::csv_path(int index) const {
  return folder_ + "/run-" + std::to_string(index) + ".csv";
}

bool SeedRuns::start_next(const BatchOptions& options, uint32_t first_seed, int count,
                          std::string* error) {
  for (; next_ < count && workers_->running() < jobs_; ++next_) {
    BatchOptions one = options;
    // Unsigned arithmetic wraps modulo 2^32, as an ensemble's seeds do.
    one.seed = first_seed + static_cast<uint32_t>(next_);
    one.csv_path = csv_path(next_);
    one.report_path.clear();
    // A run starts from the engine's program-start state, as a program started for it would,
    // whatever this process did before.
    const auto body = [one] {
      reset_engine_state();
      reset_schedules();
      return run_single(one);
    };
    if (!workers_->call(body, next_, error))
      return false;
  }
  return true;
}

// Reads an ended run's CSV, which it wrote whole or not at all, then removes it.
bool SeedRuns::take(const Workers::End& end, uint32_t first_seed,
                    std::vector<std::vector<DayFigures>>* rows, std::string* error) {
  const int index = static_cast<int>(end.tag);
  const std::string path = csv_path(index);
  const std::string seed = std::to_string(first_seed + static_cast<uint32_t>(index));
  std::string text, why;
  const bool ok = end.ok && read_regular_file(path, daily_csv_bytes(max_days_ + 1LL), &text, &why);
  remove_with_temporaries(path);
  if (!ok) {
    *error = "the run with seed " + seed + " failed: " + (end.ok ? why : end.why);
    return false;
  }
  const long long lines = std::count(text.begin(), text.end(), '\n') - 1;
  std::vector<DayFigures>& mine = (*rows)[static_cast<std::size_t>(index)];
  mine.clear();
  if (read_daily_csv(
          text, lines, [&mine](const DailyRow& r) { mine.push_back(r.figures); }, &why))
    return true;
  *error = path + ":" + why;
  return false;
}

bool SeedRuns::stop(std::string* error) {
  workers_->stop_all();
  if (const int sig = workers_->stop_signal())
    *error = std::string("stopped by ") + (sig == SIGINT ? "SIGINT" : "SIGTERM");
  return false;
}

bool SeedRuns::run(const BatchOptions& options, uint32_t first_seed, int count,
                   std::vector<std::vector<DayFigures>>* rows, std::string* error) {
  rows->assign(static_cast<std::size_t>(count), {});
  next_ = 0;
  max_days_ = options.max_days;
  int ended = 0;
  while (ended < count) {
    if (!start_next(options, first_seed, count, error))
      return stop(error);
    std::vector<Workers::End> ends;
    if (workers_->wait(1000, &ends) != 0)
      return stop(error);
    for (const Workers::End& end : ends)
      if (!take(end, first_seed, rows, error))
        return stop(error);
    ended += static_cast<int>(ends.size());
  }
  return true;
}
