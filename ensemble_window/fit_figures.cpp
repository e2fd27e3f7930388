// SPDX-License-Identifier: MIT
#include "ensemble_window/fit_figures.h"

#include <algorithm>

#include "numbers/number_reading.h"
#include "numbers/number_text.h"
#include "single_run/run_files.h"
#include "text/quoted_text.h"

namespace {

const char* const kSuffixes[] = {"_data", "_mean", "_p5", "_p25", "_median", "_p75", "_p95"};
constexpr std::size_t kColumns = sizeof kSuffixes / sizeof kSuffixes[0];
// Far beyond any epidemic's data, and small enough that a day is an int with room to spare.
constexpr long long kLastDay = 1 << 24;

bool fail(int line, const std::string& why, std::string* error) {
  *error = std::to_string(line) + ": " + why;
  return false;
}

bool is_daily_column(const std::string& name) {
  return std::any_of(std::begin(kDailyFigureNames), std::end(kDailyFigureNames),
                     [&](const char* column) { return name == column; });
}

// The series that the header names, in its order.
bool read_header(const std::string& line, std::vector<std::string>* series, std::string* error) {
  const std::vector<std::string> cells = split_commas(line);
  if (cells.size() < 1 + kColumns || (cells.size() - 1) % kColumns != 0 || cells[0] != "day")
    return fail(1, "not a fit.csv header: " + quoted(line), error);
  for (std::size_t at = 1; at < cells.size(); at += kColumns) {
    const std::string& first = cells[at];
    const std::size_t cut = first.size() > 5 ? first.size() - 5 : 0;
    const std::string name = first.substr(0, cut);
    for (std::size_t k = 0; k < kColumns; ++k)
      if (cells[at + k] != name + kSuffixes[k] || !is_daily_column(name))
        return fail(1, "unexpected column " + quoted(cells[at + k]), error);
    if (std::find(series->begin(), series->end(), name) != series->end())
      return fail(1, "series " + quoted(name) + " twice", error);
    series->push_back(name);
  }
  return true;
}

// A number as the fit writes it, the shortest text that reads back; or, where `blank` allows it,
// nothing.
bool read_cell(const std::string& cell, bool blank, double* v) {
  if (cell.empty())
    return blank;
  return parse_real_number(cell, v) && shortest_text(*v) == cell;
}

// A row's cells into the panels: data (when given) as a point, the quantiles as a band day.
bool read_row(const std::vector<std::string>& cells, int line, int previous_day, BandFigures* f,
              std::string* error) {
  long long day = 0;
  if (cells.size() != 1 + kColumns * f->panels.size())
    return fail(line, "expected " + std::to_string(1 + kColumns * f->panels.size()) + " cells",
                error);
  if (!parse_whole_number(cells[0], previous_day + 1, kLastDay, &day))
    return fail(line, "the day must be a whole number after the last: " + quoted(cells[0]), error);
  for (std::size_t s = 0; s < f->panels.size(); ++s) {
    const std::string* cell = &cells[1 + kColumns * s];
    // The model's cells are all blank on a day no run counts, or all numbers.
    const bool band = !cell[1].empty();
    double v[kColumns] = {};
    for (std::size_t k = 0; k < kColumns; ++k)
      if (!read_cell(cell[k], k == 0 || !band, &v[k]))
        return fail(line, "not a number: " + quoted(cell[k]), error);
    PanelFigures& panel = f->panels[s];
    if (!cell[0].empty())
      panel.data.push_back({static_cast<int>(day), v[0]});
    if (band)
      panel.curves[0].days.push_back({static_cast<int>(day), v[2], v[3], v[4], v[5], v[6]});
  }
  return true;
}

} // namespace

bool read_fit_csv(const std::string& text, BandFigures* f, std::string* error) {
  std::size_t at = text.find('\n');
  std::vector<std::string> series;
  if (at == std::string::npos)
    return fail(1, "no header line", error);
  if (!read_header(text.substr(0, at), &series, error))
    return false;
  *f = BandFigures();
  f->title = "The data as points; the median line, 25-75 % and 5-95 % bands of the best fit's runs";
  f->legend = {"best fit"};
  for (const std::string& s : series)
    f->panels.push_back({panel_title(s), {BandCurve{}}, {}});
  int line = 1, day = 0;
  for (++at; at < text.size(); ++line) {
    const std::size_t end = text.find('\n', at);
    if (end == std::string::npos)
      return fail(line + 1, "the last line has no end", error);
    const std::vector<std::string> cells = split_commas(text.substr(at, end - at));
    if (!read_row(cells, line + 1, day, f, error))
      return false;
    day = std::stoi(cells[0]);
    at = end + 1;
  }
  if (line == 1)
    return fail(2, "no days", error);
  f->last_day = day;
  return true;
}
