// SPDX-License-Identifier: MIT
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "single_run/run_files.h"

// The daily spread of an ensemble: for each parameter point, the mean and quantiles of each
// series over that point's runs, day by day, as summary.csv holds them.

// One series per figure of a daily sample, named in summary.csv as in the run's daily CSV.
constexpr int kSummarySeries = kSampleFigures;
// The one series that a run leaves once it has ended: its immune count is not known then.
constexpr int kImmuneSeries = kSampleImmune;

// What a run that has ended counts in a series on the days after its last row.
enum class AfterEnd {
  kZero,      // a flow, or a count of the epidemic going on: nothing happens any more
  kLeftOut,   // immune: not known once the run has ended
  kLastValue, // a stock of the population: it stays as it was when the run stopped
};
AfterEnd after_end(int series);

// Linear interpolation between order statistics, h = (n - 1) p, on sorted values (n >= 1).
double quantile(const std::vector<double>& sorted, double p);

// One row of summary.csv for one point.
struct SummaryRow {
  int day;
  int series;
  int n;
  double mean, p5, p25, median, p75, p95;
};

// The row of a day and series from the values that the runs count there (at least one): their
// count, plain mean and quantiles.
SummaryRow spread(int day, int series, std::vector<double> values);

// The spread of one parameter point's runs, day by day, computed window by window of days.
// Exact quantiles need every run's value of a day at once, but never two days at once: a day's
// rows depend only on the runs' values on that day and on how many runs ended before it. So the
// summary holds every run's last day but values only for the days of its window, and moves from
// window to window; the rows of all windows, in turn, are exactly the rows of one window that
// holds every day, as long as each window is given every run's rows on its days.
class PointSummary {
public:
  // The first window is days [1, 1 + window_days).
  explicit PointSummary(int window_days = std::numeric_limits<int>::max());
  // A run's rows in ascending days, as its CSV: records the day it ended, and keeps its values
  // on the window's days. A day met twice, or out of order, would count one run twice on that
  // day: the first stands.
  void add_run(const std::vector<DayFigures>& days);
  // For a later window: a run's rows again, strictly ascending and from any day up to the
  // window's end on (its end was recorded by add_run), of which the window's days are kept.
  void add_rows(const std::vector<DayFigures>& days);
  // One row per day of the window that appears in any run, per series in order; an ended run
  // counts on later days as after_end says. A run has no part in the days before its first
  // row: it had not begun.
  std::vector<SummaryRow> rows() const;
  // Moves to the next window, as wide, dropping the values; false when no run reaches it.
  bool next_window();
  long long window_begin() const { return begin_; }
  long long window_end() const { return end_; } // the first day past the window

private:
  // Keeps the window's values of `days`; returns its last row, null when it holds none.
  const DayFigures* keep(const std::vector<DayFigures>& days);
  struct DayValues {
    // 64-bit as a sample's figures are: cumulative infections can pass 2^31.
    std::vector<long long> value[kSummarySeries];
  };
  int width_;
  long long begin_ = 1, end_;
  std::map<int, DayValues> days_;     // the window's days only
  std::vector<DayFigures> last_rows_; // one per run that has rows: every window needs its end
};

// The memory a point's summary may take: every run's last row, and one window's values.
constexpr std::size_t kSummaryBudget = std::size_t{32} << 20;
// How many days a window of a point of `runs` runs holds within `budget` bytes (at least 1).
int summary_window_days(long long runs, std::size_t budget = kSummaryBudget);

// The header "point,<varied...>,day,series,n,mean,p5,p25,median,p75,p95".
std::string summary_header(const std::vector<std::string>& varied_names);

// Appends this point's rows; varied_cells are the point's values as written in runs.csv.
// Returns false when the stream failed.
bool write_summary_rows(std::FILE* out, int point, const std::vector<std::string>& varied_cells,
                        const std::vector<SummaryRow>& rows);
