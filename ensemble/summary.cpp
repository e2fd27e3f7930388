// SPDX-License-Identifier: MIT
#include "ensemble/summary.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "numbers/number_text.h"

double quantile(const std::vector<double>& sorted, double p) {
  if (sorted.empty())
    return std::numeric_limits<double>::quiet_NaN();
  const double h = static_cast<double>(sorted.size() - 1) * p;
  const size_t lo = static_cast<size_t>(std::floor(h));
  if (lo + 1 >= sorted.size())
    return sorted.back();
  return sorted[lo] + (h - static_cast<double>(lo)) * (sorted[lo + 1] - sorted[lo]);
}

PointSummary::PointSummary(int window_days)
    : width_(std::max(window_days, 1)), end_(1 + static_cast<long long>(width_)) {}

AfterEnd after_end(int series) {
  if (series == kImmuneSeries)
    return AfterEnd::kLeftOut;
  if (series == kSampleCumulativeInfections || series >= kFirstCompartment)
    return AfterEnd::kLastValue;
  return AfterEnd::kZero;
}

const DayFigures* PointSummary::keep(const std::vector<DayFigures>& days) {
  const DayFigures* last = nullptr;
  for (const DayFigures& f : days) {
    if (last != nullptr && f.day <= last->day)
      continue;
    last = &f;
    if (f.day < begin_ || f.day >= end_)
      continue;
    DayValues& slot = days_[f.day];
    for (int s = 0; s < kSummarySeries; ++s)
      slot.value[s].push_back(f.sample.value[s]);
  }
  return last;
}

void PointSummary::add_run(const std::vector<DayFigures>& days) {
  if (const DayFigures* last = keep(days))
    last_rows_.push_back(*last);
}

void PointSummary::add_rows(const std::vector<DayFigures>& days) {
  keep(days);
}

bool PointSummary::next_window() {
  days_.clear();
  const auto later = [](const DayFigures& a, const DayFigures& b) { return a.day < b.day; };
  if (last_rows_.empty() ||
      std::max_element(last_rows_.begin(), last_rows_.end(), later)->day < end_)
    return false;
  begin_ = end_;
  end_ = begin_ + width_;
  return true;
}

// Every run's last row stays for the whole point. Per day: each run's counts, twice over as a
// vector may hold twice what it uses, and a day's fixed costs (its map node and vectors, its
// summary rows, bands.dat's grouping).
int summary_window_days(long long runs, std::size_t budget) {
  const long long n = std::max(runs, 1LL);
  const long long ends = n * static_cast<long long>(sizeof(DayFigures));
  const long long per_day =
      n * kSummarySeries * static_cast<long long>(sizeof(long long)) * 2 + 1024;
  const long long room = std::max(static_cast<long long>(budget) - ends, 0LL);
  return static_cast<int>(
      std::clamp(room / per_day, 1LL, static_cast<long long>(std::numeric_limits<int>::max())));
}

SummaryRow spread(int day, int series, std::vector<double> values) {
  std::sort(values.begin(), values.end());
  double sum = 0;
  for (double v : values)
    sum += v;
  SummaryRow r;
  r.day = day;
  r.series = series;
  r.n = static_cast<int>(values.size());
  r.mean = sum / static_cast<double>(values.size());
  r.p5 = quantile(values, 0.05);
  r.p25 = quantile(values, 0.25);
  r.median = quantile(values, 0.5);
  r.p75 = quantile(values, 0.75);
  r.p95 = quantile(values, 0.95);
  return r;
}

namespace {

// A day's values of one series: those of the runs with a row that day, then what the `ended`
// runs of `ends` (in the order of their last days) count after their end.
std::vector<double> day_values(int series, const std::vector<long long>& own,
                               const std::vector<const DayFigures*>& ends, size_t ended) {
  std::vector<double> values(own.begin(), own.end());
  const AfterEnd rule = after_end(series);
  if (rule == AfterEnd::kZero)
    values.resize(values.size() + ended, 0.0);
  if (rule == AfterEnd::kLastValue)
    for (size_t r = 0; r < ended; ++r)
      values.push_back(static_cast<double>(ends[r]->sample.value[series]));
  return values;
}

} // namespace

// A run missing a day inside its own range (which its CSV never shows) is left out of that day,
// as it has not ended; only the days after its last row count it as ended.
std::vector<SummaryRow> PointSummary::rows() const {
  std::vector<const DayFigures*> ends;
  for (const DayFigures& last : last_rows_)
    ends.push_back(&last);
  const auto earlier = [](const DayFigures* a, const DayFigures* b) { return a->day < b->day; };
  std::stable_sort(ends.begin(), ends.end(), earlier);
  std::vector<SummaryRow> out;
  out.reserve(days_.size() * kSummarySeries);
  for (const auto& [day, slot] : days_) {
    const DayFigures on{day, {}};
    const size_t ended = static_cast<size_t>(
        std::lower_bound(ends.begin(), ends.end(), &on, earlier) - ends.begin());
    for (int s = 0; s < kSummarySeries; ++s)
      out.push_back(spread(day, s, day_values(s, slot.value[s], ends, ended)));
  }
  return out;
}

std::string summary_header(const std::vector<std::string>& varied_names) {
  std::string h = "point,";
  for (const std::string& name : varied_names)
    h += name + ",";
  return h + "day,series,n,mean,p5,p25,median,p75,p95";
}

bool write_summary_rows(std::FILE* out, int point, const std::vector<std::string>& varied_cells,
                        const std::vector<SummaryRow>& rows) {
  std::string prefix = std::to_string(point) + ",";
  for (const std::string& cell : varied_cells)
    prefix += cell + ",";
  for (const SummaryRow& r : rows) {
    const char* name =
        r.series >= 0 && r.series < kSummarySeries ? kDailyFigureNames[r.series] : "?";
    std::string line = prefix + std::to_string(r.day) + "," + name + "," + std::to_string(r.n);
    for (const double v : {r.mean, r.p5, r.p25, r.median, r.p75, r.p95})
      line += "," + shortest_text(v);
    line += '\n';
    if (std::fputs(line.c_str(), out) < 0)
      return false;
  }
  return !std::ferror(out);
}
