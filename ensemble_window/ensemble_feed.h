// SPDX-License-Identifier: MIT
#pragma once
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "ensemble/plan.h"
#include "ensemble_window/band_figures.h"
#include "ensemble_window/bands_maker.h"

// An ensemble's folder read as the window shows it: its manifest, then each run as its files
// appear whole, through the batch runner's own strict readers, handed to the batch runner's
// summary on a thread of its own (BandsMaker). Reading goes a little at a time, so that the event
// loop is never held up by a large folder.
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

  // Asks for the bands of the runs read so far (once planned), and takes the bands last made:
  // null before any, `current` when they answer the last ask.
  void ask_figures();
  std::shared_ptr<const BandFigures> latest_figures(bool* current) const;

private:
  bool read_plan(bool live, bool* there, std::string* error);
  bool read_run(long long index, bool live, bool* there, std::string* error);

  std::string dir_;
  Plan plan_;
  bool planned_ = false;
  std::unique_ptr<BandsMaker> maker_;
  std::vector<char> read_;
  long long first_unread_ = 0, done_ = 0;
  std::string text_;            // a run's file, reused
  std::vector<DayFigures> run_; // a run's rows, reused
};
