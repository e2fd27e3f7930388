// SPDX-License-Identifier: MIT
#pragma once
#include <memory>
#include <vector>

#include "ensemble/plan.h"
#include "ensemble/summary.h"
#include "ensemble_window/band_figures.h"
#include "single_run/run_files.h"

// The bands of an ensemble's runs, made on a thread of its own: a point of many runs takes far
// longer to summarise than the event loop may wait. Runs are handed over as they are read, and
// the bands of those handed over so far are asked for and taken without ever waiting.
class BandsMaker {
public:
  explicit BandsMaker(const Plan& plan);
  // Tells the thread to go; it ends once the summary it may be making is done.
  ~BandsMaker();
  BandsMaker(const BandsMaker&) = delete;
  BandsMaker& operator=(const BandsMaker&) = delete;

  // Run rows in ascending days, as its CSV, and its DAYS.
  void add_run(int point, std::vector<DayFigures> rows, long long days);
  // Asks for the bands of every run added so far.
  void ask();
  // The bands last made, or null before any; `current` tells whether they answer the last ask.
  std::shared_ptr<const BandFigures> latest(bool* current) const;

  struct State;

private:
  std::shared_ptr<State> state_; // shared with the thread, which may outlive this object
};

// The bands of `plan`'s points: made by the batch runner's summary, titled and ranged as
// bands.png, one panel per ensemble panel series. Used by the thread; exposed for reuse.
class PointBands {
public:
  explicit PointBands(const Plan& plan);
  void add_run(int point, const std::vector<DayFigures>& rows, long long days);
  // Each point's summary is made again only when it has new runs.
  BandFigures figures();

private:
  std::string legend_entry(int point) const;
  Plan plan_;
  std::vector<PointSummary> summaries_;
  std::vector<std::vector<long long>> run_days_; // per point, each run's DAYS
  std::vector<std::vector<SummaryRow>> rows_;    // per point, as last made
  std::vector<char> stale_;
};
