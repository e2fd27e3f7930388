// SPDX-License-Identifier: MIT
#include "fit/fit_bands.h"

#include <set>
#include <string>

#include "numbers/number_text.h"

FitBands::FitBands(const FitTarget& target) : target_(target) {
  std::set<int> days;
  for (const ObservedSeries& s : target.data.series)
    for (const Observation& o : s.observed)
      days.insert(o.day);
  days_.assign(days.begin(), days.end());
  values_.assign(target.data.series.size(), std::vector<std::vector<double>>(days_.size()));
}

void FitBands::add_run(const std::vector<DayFigures>& rows) {
  if (rows.empty())
    return;
  for (std::size_t s = 0; s < values_.size(); ++s)
    for (std::size_t k = 0; k < days_.size(); ++k) {
      double v = 0;
      if (run_value(rows, target_.data.series[s].figure, days_[k] + target_.offset, &v))
        values_[s][k].push_back(v);
    }
}

SummaryRow FitBands::band(std::size_t s, std::size_t k) const {
  if (values_[s][k].empty())
    return SummaryRow{days_[k], target_.data.series[s].figure, 0, 0, 0, 0, 0, 0, 0};
  return spread(days_[k], target_.data.series[s].figure, values_[s][k]);
}

void write_fit_csv(std::FILE* out, const FitTarget& target, const FitBands& bands) {
  std::fputs("day", out);
  for (const ObservedSeries& s : target.data.series)
    for (const char* column : {"data", "mean", "p5", "p25", "median", "p75", "p95"})
      std::fprintf(out, ",%s_%s", kDailyFigureNames[s.figure], column);
  std::fputc('\n', out);
  std::vector<std::size_t> next(target.data.series.size(), 0); // each series' next observation
  for (std::size_t k = 0; k < bands.days().size(); ++k) {
    const int day = bands.days()[k];
    std::fprintf(out, "%d", day);
    for (std::size_t s = 0; s < target.data.series.size(); ++s) {
      const std::vector<Observation>& observed = target.data.series[s].observed;
      std::string data;
      if (next[s] < observed.size() && observed[next[s]].day == day)
        data = shortest_text(observed[next[s]++].value);
      const SummaryRow b = bands.band(s, k);
      std::fprintf(out, ",%s", data.c_str());
      for (const double v : {b.mean, b.p5, b.p25, b.median, b.p75, b.p95})
        std::fprintf(out, ",%s", b.n == 0 ? "" : shortest_text(v).c_str());
    }
    std::fputc('\n', out);
  }
}
