// SPDX-License-Identifier: MIT
#pragma once
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "ensemble/bands_plot.h"
#include "ensemble/plan.h"
#include "ensemble/point_table.h"
#include "ensemble/summary.h"
#include "ensemble/workers.h"
#include "fileio/file_set.h"

// Streams an ensemble's run files, in point-then-run order, into runs.csv, ends.csv, points.csv
// and summary.csv, and prints each run's report line. Every daily row, and each point's summary
// rows once made, go straight to disk; only the current point's spread stays in memory, bounded
// by kSummaryBudget: it is made window of days by window, the one pass that copies the rows
// giving the first window, and a point whose runs go past it read again for each later one. The
// outputs are one FileSet: none appears under its name before finish() has them all, so a merge
// that fails or stops at any point leaves none of them.
struct RunReport;

class EnsembleMerge {
public:
  // A point's spread takes at most about `summary_budget` bytes (see summary_window_days).
  EnsembleMerge(const Plan& plan, std::FILE* report_out,
                std::size_t summary_budget = kSummaryBudget);

  // Starts every output file, none of them yet under its name.
  bool start(std::string* error);
  // Takes run `index` (point index / runs, run index % runs), which must be the next in order.
  bool add_run(long long index, std::string* error);
  // Draws the plot, gnuplot being one of `children`, and moves every file to its final name.
  // A stop signal while it draws fails it, children->stop_signal() telling which.
  bool finish(Workers* children, std::string* error);

private:
  // Each refuses a file that is not as a run writes it, naming the file and the line.
  bool read_report(int point, int run, RunReport* report, std::string* error);
  bool copy_rows(int point, int run, long long days, const std::string& prefix, std::string* error);
  std::string cells(int point) const;
  bool summarise_point(int point, std::string* error);
  bool reread_window(int point, std::string* error);

  // A run that goes past the current window: where its next row starts in its CSV.
  struct Resume {
    int run, last_day;
    long long offset;
  };

  const Plan& plan_;
  std::FILE* report_out_;
  FileSet outputs_;
  // Members of outputs_:
  std::FILE *runs_ = nullptr, *ends_ = nullptr, *points_ = nullptr, *summary_ = nullptr;
  std::unique_ptr<BandsData> bands_; // bands.dat, also one
  PointEnds point_ends_;             // the current point's runs
  long long plot_days_ = 1;          // where the plot's x-axis ends, unless --plot-days says
  const int window_days_;
  PointSummary point_summary_;
  std::vector<Resume> resume_;   // the current point's runs that go past the first window
  std::string text_;             // a run's CSV, or the part of it read for a window, reused
  std::vector<DayFigures> days_; // the current run's rows, reused
};
