// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "ensemble/summary.h"
#include "ensemble/workers.h"
#include "fileio/file_set.h"

// The runs behind every point's bands, which the plot's title names.
struct BandsRuns {
  int per_point;
  uint32_t first_seed, last_seed;
};

// What bands.png shows: one panel per series (figure indices), each over days 0 to last_day.
struct BandsView {
  std::vector<int> series;
  long long last_day;
};
// The panels when --plot does not choose: the epidemic, its pressure on beds, its toll, the
// vaccinated and the immune.
extern const std::vector<int> kDefaultPanels;
constexpr int kMostPanels = 9; // a 3 x 3 grid still leaves each panel readable
// --plot's LIST: 1 to kMostPanels daily series by their column names, none twice. False with a
// one-line message otherwise.
bool parse_panels(const std::string& list, std::vector<int>* series, std::string* error);
// The LIST that parse_panels reads back as `series`.
std::string panels_text(const std::vector<int>& series);

// The last day on which at least 5 % of a point's runs are still going, given each run's days:
// where its plot's x-axis may end without cutting off what most of its runs show.
long long busy_until(std::vector<long long> run_days);
// Where the plot's days end: at --plot-days when given (above 0), else at the latest busy_until
// of any point's runs, and never before day 1.
long long plot_last_day(int plot_days, long long latest_busy);
// The plot's title: the runs per point and their seeds, and what the lines and bands are.
std::string bands_heading(const BandsRuns& runs);

// bands.dat, written point by point as the merge summarises them, so that no point's rows stay
// in memory until the plot: one block per point (gnuplot's "index"), one line per day.
class BandsData {
public:
  explicit BandsData(std::FILE* out); // writes the header line
  // Rows of the current point, whole days in ascending order, after those already added.
  void add_rows(const std::vector<SummaryRow>& rows);
  void end_point(); // closes the current point's block
  long long points() const { return points_; }

private:
  std::FILE* out_;
  bool empty_ = true; // the current point has no day yet
  long long points_ = 0;
};

// Writes bands.gp into `set`, whose names must include it, bands.dat (already written through a
// BandsData, one block per label) and bands.png, and runs gnuplot (no shell) as one of
// `children` to render bands.png (1600 x 1200) there; the caller commits the set. labels[p] names
// point p by its varied values (e.g. "infection-rate=10"). On failure, or when a stop signal
// ended gnuplot (children->stop_signal()), returns false with a one-line reason in *error.
bool render_bands_plot(FileSet* set, Workers* children, const BandsRuns& runs,
                       const std::vector<std::string>& labels, const BandsView& view,
                       std::string* error);

// Writes bands.dat from every point's rows (rows[p] for point p), then renders as above.
bool write_bands_plot(FileSet* set, Workers* children, const BandsRuns& runs,
                      const std::vector<std::string>& labels, const BandsView& view,
                      const std::vector<std::vector<SummaryRow>>& rows, std::string* error);
