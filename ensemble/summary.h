// SPDX-License-Identifier: MIT
#pragma once
#include <cstdio>
#include <map>
#include <string>
#include <vector>

// The daily spread of an ensemble: for each parameter point, the mean and quantiles of each
// series over that point's runs, day by day, as summary.csv holds them.

constexpr int kSummarySeries = 5; // infected, new_cases, newly_quarantined, immune, dead_today
// The series' names in summary.csv, in the order of DayFigures::value.
extern const char* const kSummarySeriesNames[kSummarySeries];
// The one series that a run leaves once it has ended: its immune count is not known then.
constexpr int kImmuneSeries = 3;

// One daily row of one run, as its single-run CSV holds it.
struct DayFigures {
  int day;
  long long value[kSummarySeries];
};

// Linear interpolation between order statistics, h = (n - 1) p, on sorted values (n >= 1).
double quantile(const std::vector<double>& sorted, double p);

// One row of summary.csv for one point.
struct SummaryRow {
  int day;
  int series;
  int n;
  double mean, p5, p25, median, p75, p95;
};

// The spread of one parameter point's runs, day by day. Holds only what the quantiles need: the
// values each run gave on each day, and the day each run ended.
class PointSummary {
public:
  void add_run(const std::vector<DayFigures>& days); // ascending days, as the run's CSV
  // One row per day that appears in any run, per series in order; an ended run counts as 0 on
  // later days in every series but immune, which leaves it out. A run has no part in the days
  // before its first row: it had not begun.
  std::vector<SummaryRow> rows() const;

private:
  struct DayValues {
    std::vector<double> value[kSummarySeries];
  };
  std::map<int, DayValues> days_;
  std::vector<int> last_days_; // one per run that has rows
};

// The header "point,<varied...>,day,series,n,mean,p5,p25,median,p75,p95".
std::string summary_header(const std::vector<std::string>& varied_names);

// The shortest text, in fixed notation where it fits, that reads back as the same double: how the ensemble writes every real
// number, so that no digit of a mean is lost and summary.csv and bands.dat agree to the letter.
std::string number_text(double value);

// Appends this point's rows; varied_cells are the point's values as written in runs.csv.
// Returns false when the stream failed.
bool write_summary_rows(std::FILE* out, int point, const std::vector<std::string>& varied_cells,
                        const std::vector<SummaryRow>& rows);
