// SPDX-License-Identifier: MIT
#include "ensemble/summary.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

const char* const kSummarySeriesNames[kSummarySeries] = {
    "infected", "new_cases", "newly_quarantined", "immune", "dead_today"};

double quantile(const std::vector<double>& sorted, double p) {
  if (sorted.empty())
    return std::numeric_limits<double>::quiet_NaN();
  const double h = static_cast<double>(sorted.size() - 1) * p;
  const size_t lo = static_cast<size_t>(std::floor(h));
  if (lo + 1 >= sorted.size())
    return sorted.back();
  return sorted[lo] + (h - static_cast<double>(lo)) * (sorted[lo + 1] - sorted[lo]);
}

void PointSummary::add_run(const std::vector<DayFigures>& days) {
  bool any = false;
  int last = 0;
  for (const DayFigures& f : days) {
    // A day met twice, or out of order, would count one run twice on that day; the first stands.
    if (any && f.day <= last)
      continue;
    DayValues& slot = days_[f.day];
    for (int s = 0; s < kSummarySeries; ++s)
      slot.value[s].push_back(static_cast<double>(f.value[s]));
    any = true;
    last = f.day;
  }
  if (any)
    last_days_.push_back(last);
}

namespace {

SummaryRow spread(int day, int series, std::vector<double>& values) {
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

} // namespace

// A run missing a day inside its own range (which its CSV never shows) is left out of that day,
// as it has not ended; only the days after its last row count it as 0.
std::vector<SummaryRow> PointSummary::rows() const {
  std::vector<int> ends = last_days_;
  std::sort(ends.begin(), ends.end());
  std::vector<SummaryRow> out;
  out.reserve(days_.size() * kSummarySeries);
  for (const auto& [day, slot] : days_) {
    const size_t ended =
        static_cast<size_t>(std::lower_bound(ends.begin(), ends.end(), day) - ends.begin());
    for (int s = 0; s < kSummarySeries; ++s) {
      std::vector<double> values = slot.value[s];
      if (s != kImmuneSeries)
        values.resize(values.size() + ended, 0.0);
      out.push_back(spread(day, s, values));
    }
  }
  return out;
}

std::string summary_header(const std::vector<std::string>& varied_names) {
  std::string h = "point,";
  for (const std::string& name : varied_names)
    h += name + ",";
  return h + "day,series,n,mean,p5,p25,median,p75,p95";
}

// Without an exponent wherever that fits: a count of 100000 reads "100000", as it did before
// numbers were written exactly, not "1e+05". Only magnitudes no run can give fall back to the
// general form, whose longest text, "-2.2250738585072014e-308", takes 24 characters.
std::string number_text(double value) {
  char text[64];
  auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
  if (written.ec != std::errc())
    written = std::to_chars(text, text + sizeof text, value);
  return std::string(text, written.ptr);
}

bool write_summary_rows(std::FILE* out, int point, const std::vector<std::string>& varied_cells,
                        const std::vector<SummaryRow>& rows) {
  std::string prefix = std::to_string(point) + ",";
  for (const std::string& cell : varied_cells)
    prefix += cell + ",";
  for (const SummaryRow& r : rows) {
    const char* name =
        r.series >= 0 && r.series < kSummarySeries ? kSummarySeriesNames[r.series] : "?";
    std::string line = prefix + std::to_string(r.day) + "," + name + "," + std::to_string(r.n);
    for (const double v : {r.mean, r.p5, r.p25, r.median, r.p75, r.p95})
      line += "," + number_text(v);
    line += '\n';
    if (std::fputs(line.c_str(), out) < 0)
      return false;
  }
  return !std::ferror(out);
}
