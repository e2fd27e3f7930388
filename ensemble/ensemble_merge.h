#pragma once
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "ensemble/plan.h"
#include "ensemble/summary.h"
#include "fileio/atomic_file.h"

// Streams an ensemble's run files, in point-then-run order, into runs.csv, ends.csv and
// summary.csv, and prints each run's report line. Only the current point's spread and the
// finished points' summary rows stay in memory; every daily row goes straight to disk. Nothing
// appears under a final name before finish(), so a merge that stops half-way leaves no file.
class EnsembleMerge {
public:
  EnsembleMerge(const Plan& plan, std::FILE* report_out);

  bool open(std::string* error);
  // Takes run `index` (point index / runs, run index % runs), which must be the next in order.
  bool add_run(long long index, std::string* error);
  // Writes the last summary rows and the plot and renames every file to its final name.
  bool finish(std::string* error);

private:
  bool read_report(int point, int run, std::string* line, std::string* error);
  bool copy_rows(int point, int run, const std::string& prefix, std::string* error);
  std::string cells(int point) const;

  const Plan& plan_;
  std::FILE* report_out_;
  AtomicFile runs_, ends_, summary_;
  PointSummary point_summary_;
  std::vector<DayFigures> days_; // the current run's rows, reused
  std::vector<std::vector<SummaryRow>> point_rows_;
};

// The run files of the plan that are missing or cannot be read, in order.
std::vector<std::string> unreadable_run_files(const Plan& plan);
