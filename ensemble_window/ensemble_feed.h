// SPDX-License-Identifier: MIT
#pragma once
#include <chrono>
#include <string>
#include <vector>

#include "ensemble/plan.h"
#include "ensemble/summary.h"
#include "ensemble_window/band_figures.h"

// An ensemble's folder read as the window shows it: its manifest, then each run as its files
// appear whole, through the batch runner's own strict readers and summary. Reading goes a little
// at a time, so that the event loop is never held up by a large folder.
class EnsembleFeed {
public:
  using Clock = std::chrono::steady_clock;
  explicit EnsembleFeed(std::string dir) : dir_(std::move(dir)) {}

  // Reads what has appeared since the last call, stopping at `until`. While `live` (the runner
  // is still writing the folder) a manifest or run file not there yet is waited for; otherwise
  // its absence is a failure. False with a one-line message in *error on anything that a run or
  // the runner would not write.
  bool read(bool live, Clock::time_point until, std::string* error);
  bool planned() const { return planned_; }
  const Plan& plan() const { return plan_; }
  long long total() const { return planned_ ? plan_.total() : 0; }
  long long done() const { return done_; }
  bool complete() const { return planned_ && done_ == plan_.total(); }
  const std::string& dir() const { return dir_; }

  // The bands of the runs read so far, each point's summary made again only when it has new runs.
  BandFigures figures();

private:
  bool read_plan(bool live, bool* there, std::string* error);
  bool read_run(long long index, bool live, bool* there, std::string* error);
  std::string legend_entry(int point) const;

  std::string dir_;
  Plan plan_;
  bool planned_ = false;
  std::vector<PointSummary> summaries_;
  std::vector<std::vector<long long>> run_days_; // per point, each read run's DAYS
  std::vector<std::vector<SummaryRow>> rows_;    // per point, as last made
  std::vector<char> read_, stale_;
  long long first_unread_ = 0, done_ = 0;
  std::string text_;            // a run's file, reused
  std::vector<DayFigures> run_; // a run's rows, reused
};
