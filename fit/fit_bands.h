// SPDX-License-Identifier: MIT
#pragma once
// The spread of a point's runs on the days of the data, as fit.csv holds it: for every data day
// and every observed series, the data's value and the mean, p5, p25, median, p75 and p95 over the
// runs on the model day that the data day is compared with.
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "ensemble/summary.h"
#include "fit/score.h"

class FitBands {
public:
  explicit FitBands(const FitTarget& target); // `target` must outlive this
  // A run's rows as for PointRuns::add_run, counted the same way.
  void add_run(const std::vector<DayFigures>& rows);
  // Every day with a value in some series, in increasing days.
  const std::vector<int>& days() const { return days_; }
  // Series s on days()[k] (data days; the row's day too), as summary.csv counts it; n is 0 where
  // no run counts.
  SummaryRow band(std::size_t s, std::size_t k) const;

private:
  const FitTarget& target_;
  std::vector<int> days_;
  std::vector<std::vector<std::vector<double>>> values_; // per series, per day, per run
};

// fit.csv: "day", then for each series S of the target "S_data,S_mean,S_p5,S_p25,S_median,S_p75,
// S_p95"; one row per day of bands.days(), S_data blank where S has no value that day and the
// model's cells blank where no run counts.
void write_fit_csv(std::FILE* out, const FitTarget& target, const FitBands& bands);

// fit.csv read back, as write_fit_csv writes it and nothing else: a cell each per series a row.
struct FitCsvCell {
  bool has_data = false, has_band = false;
  double data = 0;
  double mean = 0, p5 = 0, p25 = 0, median = 0, p75 = 0, p95 = 0;
};
struct FitCsvRow {
  int day;
  std::vector<FitCsvCell> cells; // in the header's series order
};
struct FitCsv {
  std::vector<int> series; // daily figures, as the header names them
  std::vector<FitCsvRow> rows;
};
// The most bytes of fit.csv read: every data day of every series.
constexpr std::size_t kFitCsvBytes = std::size_t{16} << 20;
// Reads fit.csv's text: the header, then at least one row, days ascending, each number as
// shortest_text writes it, a series' model cells all blank or all numbers. False with
// "LINE: REASON" in *error on anything else.
bool read_fit_csv(const std::string& text, FitCsv* table, std::string* error);
