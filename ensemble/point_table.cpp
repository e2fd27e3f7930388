// SPDX-License-Identifier: MIT
#include "ensemble/point_table.h"

#include <algorithm>

#include "ensemble/summary.h"
#include "numbers/number_text.h"

namespace {

const char* const kPointFigureNames[kPointFigures] = {
    "peak_infected", "peak_day", "ever_infected", "dead", "vaccinations", "days"};

// The quantiles of each figure, in the order of their columns.
const double kPointQuantiles[] = {0.5, 0.05, 0.95};
const char* const kQuantileNames[] = {"median", "p5", "p95"};

} // namespace

std::string points_header(const std::vector<std::string>& varied_names) {
  std::string header = "point";
  for (const std::string& name : varied_names)
    header += "," + name;
  for (const char* figure : kPointFigureNames)
    for (const char* q : kQuantileNames)
      header += std::string(",") + figure + "_" + q;
  return header;
}

// The figures as they stand after the run's last tick; dead is everyone dead then, as in
// ends.csv, not the DEAD of the peak's status line.
void PointEnds::add(const RunReport& r) {
  const long long figures[kPointFigures] = {r.peak_infected, r.peak_day,     r.ever_infected,
                                            r.total_dead,    r.vaccinations, r.days};
  for (int f = 0; f < kPointFigures; ++f)
    figures_[f].push_back(figures[f]);
}

bool PointEnds::write_row(std::FILE* out, int point,
                          const std::vector<std::string>& varied_cells) const {
  std::string line = std::to_string(point);
  for (const std::string& cell : varied_cells)
    line += "," + cell;
  for (const std::vector<long long>& runs : figures_) {
    std::vector<double> sorted(runs.begin(), runs.end());
    std::sort(sorted.begin(), sorted.end());
    for (const double p : kPointQuantiles)
      line += "," + shortest_text(quantile(sorted, p));
  }
  line += '\n';
  return std::fputs(line.c_str(), out) >= 0 && !std::ferror(out);
}

void PointEnds::clear() {
  for (std::vector<long long>& runs : figures_)
    runs.clear();
}
