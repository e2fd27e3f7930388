// SPDX-License-Identifier: MIT
#include "fit/score.h"

#include <algorithm>
#include <cmath>

#include "ensemble/summary.h"

bool run_value(const std::vector<DayFigures>& rows, int figure, int day, double* value) {
  const DayFigures* row = nullptr;
  if (day < rows.front().day)
    row = after_end(figure) == AfterEnd::kZero ? nullptr : &rows.front();
  else if (day > rows.back().day)
    switch (after_end(figure)) {
    case AfterEnd::kLeftOut:
      return false;
    case AfterEnd::kZero:
      break;
    case AfterEnd::kLastValue:
      row = &rows.back();
      break;
    }
  else {
    const auto found = std::lower_bound(rows.begin(), rows.end(), day,
                                        [](const DayFigures& r, int d) { return r.day < d; });
    if (found == rows.end() || found->day != day)
      return false;
    row = &*found;
  }
  *value = row == nullptr ? 0.0 : static_cast<double>(row->sample.value[figure]);
  return true;
}

PointRuns::PointRuns(const FitTarget& target) : target_(target) {
  for (const ObservedSeries& series : target.data.series)
    means_.emplace_back(series.observed.size());
}

void PointRuns::add_run(const std::vector<DayFigures>& rows) {
  if (rows.empty())
    return;
  ++runs_;
  for (std::size_t s = 0; s < means_.size(); ++s) {
    const ObservedSeries& series = target_.data.series[s];
    for (std::size_t k = 0; k < series.observed.size(); ++k) {
      double value = 0;
      if (!run_value(rows, series.figure, series.observed[k].day + target_.offset, &value))
        continue;
      means_[s][k].sum += value;
      ++means_[s][k].runs;
    }
  }
}

bool PointRuns::score(PointScore* out, std::string* error) const {
  const std::vector<ObservedSeries>& all = target_.data.series;
  const std::vector<double>& weights = target_.weights;
  if (!weights.empty() && weights.size() != all.size()) {
    *error =
        std::to_string(weights.size()) + " weights for " + std::to_string(all.size()) + " series";
    return false;
  }
  if (runs_ == 0) {
    *error = "no run to score";
    return false;
  }
  *out = PointScore{};
  for (std::size_t s = 0; s < all.size(); ++s) {
    const ObservedSeries& series = all[s];
    const double weight = weights.empty() ? 1.0 : weights[s];
    if (!std::isfinite(weight) || weight < 0) {
      *error = std::string("the weight of ") + kDailyFigureNames[series.figure] +
               " is not a finite number from 0 up";
      return false;
    }
    // An all-zero series is measured in counts: any model value but 0 is that far off, rather
    // than the series dropping out of the score or dividing by 0.
    const double scale = series.max > 0 ? series.max : 1.0;
    double sum = 0;
    for (std::size_t k = 0; k < series.observed.size(); ++k) {
      const Mean& mean = means_[s][k];
      if (mean.runs == 0) {
        const int day = series.observed[k].day;
        *error = std::string(kDailyFigureNames[series.figure]) + " on model day " +
                 std::to_string(day + target_.offset) + " (data day " + std::to_string(day) +
                 "): " +
                 (after_end(series.figure) == AfterEnd::kLeftOut
                      ? "every run had ended, after which it is not known"
                      : "no run gives a value");
        return false;
      }
      sum += std::fabs(series.observed[k].value - mean.sum / mean.runs) / scale;
    }
    out->shares.push_back(weight * sum);
    out->score += weight * sum;
  }
  return true;
}
