// SPDX-License-Identifier: MIT
#include "fit/fit_bands.h"

#include <algorithm>
#include <set>
#include <string>

#include "numbers/number_reading.h"
#include "numbers/number_text.h"
#include "text/quoted_text.h"

namespace {

// Each series' columns in fit.csv: S_data, then the model's figures.
const char* const kSuffixes[] = {"_data", "_mean", "_p5", "_p25", "_median", "_p75", "_p95"};
constexpr std::size_t kColumns = sizeof kSuffixes / sizeof kSuffixes[0];

bool fail(int line, const std::string& why, std::string* error) {
  *error = std::to_string(line) + ": " + why;
  return false;
}

// The series that the header names, in its order.
bool read_header(const std::string& line, std::vector<int>* series, std::string* error) {
  const std::vector<std::string> cells = split_commas(line);
  if (cells.size() < 1 + kColumns || (cells.size() - 1) % kColumns != 0 || cells[0] != "day")
    return fail(1, "not a fit.csv header: " + quoted(line), error);
  for (std::size_t at = 1; at < cells.size(); at += kColumns) {
    const std::string& first = cells[at];
    const std::string name = first.substr(0, first.size() > 5 ? first.size() - 5 : 0);
    const auto named = std::find(std::begin(kDailyFigureNames), std::end(kDailyFigureNames), name);
    const int figure = static_cast<int>(named - std::begin(kDailyFigureNames));
    for (std::size_t k = 0; k < kColumns; ++k)
      if (cells[at + k] != name + kSuffixes[k] || named == std::end(kDailyFigureNames))
        return fail(1, "unexpected column " + quoted(cells[at + k]), error);
    if (std::find(series->begin(), series->end(), figure) != series->end())
      return fail(1, "series " + quoted(name) + " twice", error);
    series->push_back(figure);
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

bool read_row(const std::vector<std::string>& cells, int line, int previous_day, FitCsv* table,
              std::string* error) {
  const std::size_t series = table->series.size();
  long long day = 0;
  if (cells.size() != 1 + kColumns * series)
    return fail(line, "expected " + std::to_string(1 + kColumns * series) + " cells", error);
  if (!parse_whole_number(cells[0], previous_day + 1, kMostDataDay, &day))
    return fail(line, "the day must be a whole number after the last: " + quoted(cells[0]), error);
  FitCsvRow row{static_cast<int>(day), std::vector<FitCsvCell>(series)};
  for (std::size_t s = 0; s < series; ++s) {
    const std::string* cell = &cells[1 + kColumns * s];
    FitCsvCell& c = row.cells[s];
    c.has_data = !cell[0].empty();
    c.has_band = !cell[1].empty();
    double* const values[kColumns] = {&c.data, &c.mean, &c.p5, &c.p25, &c.median, &c.p75, &c.p95};
    for (std::size_t k = 0; k < kColumns; ++k)
      if (!read_cell(cell[k], k == 0 || !c.has_band, values[k]))
        return fail(line, "not a number: " + quoted(cell[k]), error);
  }
  table->rows.push_back(std::move(row));
  return true;
}

} // namespace

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
    for (const char* suffix : kSuffixes)
      std::fprintf(out, ",%s%s", kDailyFigureNames[s.figure], suffix);
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

bool read_fit_csv(const std::string& text, FitCsv* table, std::string* error) {
  *table = FitCsv();
  std::size_t at = text.find('\n');
  if (at == std::string::npos)
    return fail(1, "no header line", error);
  if (!read_header(text.substr(0, at), &table->series, error))
    return false;
  int line = 2;
  for (++at; at < text.size(); ++line) {
    const std::size_t end = text.find('\n', at);
    if (end == std::string::npos)
      return fail(line, "the last line has no end", error);
    const int previous = table->rows.empty() ? 0 : table->rows.back().day;
    if (!read_row(split_commas(text.substr(at, end - at)), line, previous, table, error))
      return false;
    at = end + 1;
  }
  return !table->rows.empty() || fail(2, "no days", error);
}
