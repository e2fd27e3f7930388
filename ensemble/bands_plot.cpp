// SPDX-License-Identifier: MIT
// The plot is drawn by gnuplot from a data file and a script left beside it in DIR, so that a
// reader can restyle it and render it again with "gnuplot bands.gp" in that folder.
//
// No shell ever sees DIR: gnuplot is started without one, in the output set's folder as its
// working directory, and the script names its files relative to it. A DIR holding spaces, quotes
// or ';' is therefore just a folder name.
#include "ensemble/bands_plot.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <map>

#include "ensemble/gnuplot_render.h"
#include "numbers/number_reading.h"
#include "numbers/number_text.h"

namespace {

constexpr int kWidth = 1600;
constexpr int kHeight = 1200;

// An ended run has no immune count, so immune's late bands stand on fewer runs than the others'.
const char* const kPanelTitles[kSummarySeries] = {"Infected",
                                                  "New cases",
                                                  "Newly quarantined",
                                                  "Immune (late days: runs still going only)",
                                                  "Dead today",
                                                  "Newly vaccinated",
                                                  "Newly infected",
                                                  "Cumulative infections",
                                                  "Susceptible",
                                                  "Ambulatory",
                                                  "Bedridden",
                                                  "Quarantined",
                                                  "Recovered",
                                                  "Vaccinated",
                                                  "Dead"};

// Tableau's ten colours: told apart easily, also by most colour-blind readers.
const char* const kColours[] = {"#1f77b4", "#ff7f0e", "#2ca02c", "#d62728", "#9467bd",
                                "#8c564b", "#e377c2", "#7f7f7f", "#bcbd22", "#17becf"};
constexpr int kColourCount = sizeof kColours / sizeof kColours[0];

// Columns of panels: one for one panel, two up to six (three rows at most), three beyond.
int grid_columns(size_t panels) {
  return panels <= 1 ? 1 : panels <= 6 ? 2 : 3;
}

void write_view(std::FILE* out, const BandsView& view) {
  const size_t n = view.series.size();
  const int columns = grid_columns(n);
  std::fprintf(out, "columns = %d\nrows = %d\nxend = %lld\narray series[%zu] = [", columns,
               static_cast<int>((n + columns - 1) / columns), std::max(view.last_day, 1LL), n);
  for (size_t i = 0; i < n; ++i)
    std::fprintf(out, "%s%d", i == 0 ? "" : ", ", view.series[i]);
  std::fprintf(out, "]\narray panel[%zu] = [", n);
  for (size_t i = 0; i < n; ++i)
    std::fprintf(out, "%s\"%s\"", i == 0 ? "" : ", ", kPanelTitles[view.series[i]]);
  std::fputs("]\n", out);
}

void write_values(std::FILE* out, const BandsRuns& runs, const std::vector<std::string>& labels,
                  size_t points) {
  std::fprintf(out, "heading = %s\n", gnuplot_quoted(bands_heading(runs)).c_str());
  std::fprintf(out, "points = %zu\narray label[%zu] = [", points, points);
  for (size_t p = 0; p < points; ++p) {
    const std::string name =
        p < labels.size() && !labels[p].empty() ? labels[p] : "point " + std::to_string(p);
    std::fprintf(out, "%s%s", p == 0 ? "" : ", ", gnuplot_quoted(name).c_str());
  }
  std::fprintf(out, "]\narray colour[%d] = [", kColourCount);
  for (int c = 0; c < kColourCount; ++c)
    std::fprintf(out, "%s\"%s\"", c == 0 ? "" : ", ", kColours[c]);
  std::fputs("]\n", out);
}

// The panels in a grid of `rows` x `columns`, filled row by row and placed by hand; the legend
// has a strip of its own below them, so that no panel's curves hide behind it. bands.dat holds
// every series (five columns each from column 2 on): `series` picks the panels' ones. The bands are
// translucent: the points' ranges overlap, and both must stay visible. Past ten points the colours
// come round again, with another dash pattern for the median.
const char kScriptBody[] = R"(hue(p) = colour[p % |colour| + 1]
dash(p) = (p / |colour|) % 5 + 1
if (!exists("out")) out = "bands.png"
if (strstrt(GPVAL_TERMINALS, "pngcairo") > 0) {
  set terminal pngcairo size WIDTH,HEIGHT noenhanced font "sans,12"
} else {
  set terminal png truecolor size WIDTH,HEIGHT noenhanced
}
set output out
set datafile missing "?"
set multiplot title heading font ",16"
legend = 0.1 # of the height, at the foot
top = 0.95   # the rest above the grid holds the heading
cell = (top - legend) / rows
set grid
set key off
set xlabel "day"
set ylabel "persons"
# Counts are never negative: a series that stays 0 lies on the floor, not in the middle.
set yrange [0:*]
# Unless --plot-days chose it, past xend fewer than 5 % of any point's runs go on: the tail of
# a few long runs would squash the rest.
set xrange [0:xend]
set style fill transparent solid 0.15 noborder
do for [i=0:|panel|-1] {
  set origin (i % columns) * 1.0 / columns, legend + (rows - 1 - i / columns) * cell
  set size 1.0 / columns, cell
  set title panel[i + 1] font ",14"
  c = 2 + 5 * series[i + 1]
  plot for [p=0:points-1] 'bands.dat' index p using 1:(column(c)):(column(c+4)) \
         with filledcurves fs transparent solid 0.15 noborder lc rgb hue(p), \
       for [p=0:points-1] 'bands.dat' index p using 1:(column(c+1)):(column(c+3)) \
         with filledcurves fs transparent solid 0.3 noborder lc rgb hue(p), \
       for [p=0:points-1] 'bands.dat' index p using 1:(column(c+2)) \
         with lines lw 2 lc rgb hue(p) dt dash(p)
}
unset title
unset border
unset tics
unset grid
unset xlabel
unset ylabel
set xrange [0:1]
set yrange [0:1]
set origin 0, 0
set size 1, legend
set lmargin 0
set rmargin 0
set tmargin 0
set bmargin 0
set key center center horizontal Left reverse samplen 5 spacing 1.3 font ",12"
# Curves drawn outside the visible range: only their key entries show.
plot 2 with lines lw 2 lc rgb "gray30" title "median", \
     2 with filledcurves y1=3 fs transparent solid 0.4 noborder lc rgb "gray30" \
       title "25-75 % of runs", \
     2 with filledcurves y1=3 fs transparent solid 0.15 noborder lc rgb "gray30" \
       title "5-95 % of runs", \
     for [p=0:points-1] 2 with lines lw 3 lc rgb hue(p) dt dash(p) title label[p + 1]
unset multiplot
unset output
)";

std::string script_body() {
  std::string body = kScriptBody;
  const std::pair<std::string, std::string> fills[] = {{"WIDTH", std::to_string(kWidth)},
                                                       {"HEIGHT", std::to_string(kHeight)}};
  for (const auto& [key, value] : fills)
    for (size_t at = body.find(key); at != std::string::npos; at = body.find(key, at))
      body.replace(at, key.size(), value);
  return body;
}

void write_script(std::FILE* out, const BandsRuns& runs, const std::vector<std::string>& labels,
                  const BandsView& view, size_t points) {
  std::fputs("# Renders bands.png from bands.dat: run \"gnuplot bands.gp\" in this folder.\n", out);
  write_values(out, runs, labels, points);
  write_view(out, view);
  std::fputs(script_body().c_str(), out);
}

} // namespace

BandsData::BandsData(std::FILE* out) : out_(out) {
  std::string names;
  for (const char* name : kDailyFigureNames)
    names += std::string(names.empty() ? "" : ", ") + name;
  std::fprintf(out_, "# day, then p5 p25 median p75 p95 of %s; one block per point\n",
               names.c_str());
}

void BandsData::add_rows(const std::vector<SummaryRow>& rows) {
  std::map<int, std::array<const SummaryRow*, kSummarySeries>> days;
  for (const SummaryRow& r : rows)
    if (r.series >= 0 && r.series < kSummarySeries)
      days[r.day][r.series] = &r; // value-initialised: a series without a row stays null
  for (const auto& [on_day, series] : days) {
    std::fprintf(out_, "%d", on_day);
    for (const SummaryRow* r : series) {
      if (r == nullptr)
        std::fputs(" ? ? ? ? ?", out_);
      else
        for (const double v : {r->p5, r->p25, r->median, r->p75, r->p95})
          std::fprintf(out_, " %s", shortest_text(v).c_str());
    }
    std::fputc('\n', out_);
    empty_ = false;
  }
}

void BandsData::end_point() {
  // gnuplot counts an empty block as no block at all, which would shift the later points.
  if (empty_) {
    std::fputc('?', out_);
    for (int s = 0; s < kSummarySeries; ++s)
      std::fputs(" ? ? ? ? ?", out_);
    std::fputc('\n', out_);
  }
  std::fputs("\n\n", out_);
  empty_ = true;
  ++points_;
}

const std::vector<int> kDefaultPanels = {kSampleInfected, kSampleNewlyInfected, kSampleBedridden,
                                         kSampleDead,     kSampleVaccinated,    kSampleImmune};

bool parse_panels(const std::string& list, std::vector<int>* series, std::string* error) {
  std::vector<int> chosen;
  for (const std::string& name : split_commas(list)) {
    const auto named = std::find_if(std::begin(kDailyFigureNames), std::end(kDailyFigureNames),
                                    [&name](const char* known) { return name == known; });
    const int s = static_cast<int>(named - std::begin(kDailyFigureNames));
    if (named == std::end(kDailyFigureNames))
      *error = "--plot: " + (name.empty() ? "an empty name" : "unknown series " + name) +
               " (the daily CSV's columns after day)";
    else if (std::find(chosen.begin(), chosen.end(), s) != chosen.end())
      *error = "--plot: " + name + " is given twice";
    else if (static_cast<int>(chosen.size()) == kMostPanels)
      *error = "--plot: more than " + std::to_string(kMostPanels) + " series";
    else {
      chosen.push_back(s);
      continue;
    }
    return false;
  }
  *series = chosen;
  return true;
}

std::string panels_text(const std::vector<int>& series) {
  std::string text;
  for (const int s : series)
    text += std::string(text.empty() ? "" : ",") + kDailyFigureNames[s];
  return text;
}

// The k-th longest run, k the fewest runs that make 5 %: on its last day k runs still go, and
// on any later day fewer.
long long busy_until(std::vector<long long> run_days) {
  if (run_days.empty())
    return 0;
  const size_t k = (run_days.size() + 19) / 20;
  std::nth_element(run_days.begin(), run_days.begin() + (k - 1), run_days.end(),
                   std::greater<long long>());
  return run_days[k - 1];
}

std::string bands_heading(const BandsRuns& runs) {
  const bool one = runs.per_point == 1;
  const std::string seeds =
      one ? "seed " + std::to_string(runs.first_seed)
          : "seeds " + std::to_string(runs.first_seed) + " to " + std::to_string(runs.last_seed);
  return std::to_string(runs.per_point) + (one ? " run" : " runs") + " per point, " + seeds +
         ": median line, 25-75 % and 5-95 % bands";
}

long long plot_last_day(int plot_days, long long latest_busy) {
  return plot_days > 0 ? plot_days : std::max(latest_busy, 1LL);
}

bool render_bands_plot(FileSet* set, Workers* children, const BandsRuns& runs,
                       const std::vector<std::string>& labels, const BandsView& view,
                       std::string* error) {
  if (labels.empty() || view.series.empty()) {
    *error = labels.empty() ? "no points to plot" : "no series to plot";
    return false;
  }
  std::FILE* script = set->write("bands.gp", error);
  if (script == nullptr)
    return false;
  write_script(script, runs, labels, view, labels.size());
  return render_with_gnuplot(set, children, "bands.gp", "bands.png", kWidth, kHeight, error);
}

bool write_bands_plot(FileSet* set, Workers* children, const BandsRuns& runs,
                      const std::vector<std::string>& labels, const BandsView& view,
                      const std::vector<std::vector<SummaryRow>>& rows, std::string* error) {
  if (rows.empty()) {
    *error = "no points to plot";
    return false;
  }
  std::FILE* out = set->write("bands.dat", error);
  if (out == nullptr)
    return false;
  BandsData data(out);
  for (const std::vector<SummaryRow>& point : rows) {
    data.add_rows(point);
    data.end_point();
  }
  std::vector<std::string> named = labels; // one per point; an unnamed one is "point P"
  named.resize(rows.size());
  return render_bands_plot(set, children, runs, named, view, error);
}
