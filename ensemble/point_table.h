// SPDX-License-Identifier: MIT
#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "single_run/run_files.h"

// points.csv: one row per parameter point, the spread of its runs' end figures side by side, so
// that a table reader takes the points as they are, with no pivot.

// The figures of a run's end that points.csv spreads, days last.
constexpr int kPointFigures = 6;

// "point,<varied...>," then NAME_median,NAME_p5,NAME_p95 for each figure.
std::string points_header(const std::vector<std::string>& varied_names);

// One point's runs, taken one by one from their report files.
class PointEnds {
public:
  void add(const RunReport& report);
  // Appends the point's row; varied_cells are its values as written in runs.csv. False when
  // the stream failed.
  bool write_row(std::FILE* out, int point, const std::vector<std::string>& varied_cells) const;
  // Each run's DAYS, in the order added.
  const std::vector<long long>& days() const { return figures_[kPointFigures - 1]; }
  void clear();

private:
  std::vector<long long> figures_[kPointFigures]; // one value per run in each
};
