// SPDX-License-Identifier: MIT
#include "fit/observed_data.h"

#include <algorithm>
#include <iterator>
#include <string_view>

#include "fileio/regular_file.h"
#include "numbers/number_reading.h"
#include "single_run/run_files.h"
#include "text/quoted_text.h"

namespace {

constexpr int kNoColumn = -1;

// The line's cells; a line may end in "\r", as a spreadsheet writes it.
std::vector<std::string> cells_of(std::string_view line) {
  if (!line.empty() && line.back() == '\r')
    line.remove_suffix(1);
  return split_commas(std::string(line));
}

std::string at_line(std::size_t line, const std::string& reason) {
  return std::to_string(line) + ": " + reason;
}

// Each column's place in the series (kNoColumn for `day`), and the `day` column's place.
bool read_header(const std::vector<std::string>& names, std::vector<int>* series_of, int* day,
                 ObservedData* data, std::string* error) {
  if (names.size() > static_cast<std::size_t>(kMostDataColumns)) {
    *error = at_line(1, "more than " + std::to_string(kMostDataColumns) + " columns");
    return false;
  }
  *day = kNoColumn;
  for (std::size_t c = 0; c < names.size(); ++c) {
    const std::string& name = names[c];
    const auto named = std::find(std::begin(kDailyFigureNames), std::end(kDailyFigureNames), name);
    const int figure = static_cast<int>(named - std::begin(kDailyFigureNames));
    const bool twice =
        name == "day" ? *day != kNoColumn
                      : std::any_of(data->series.begin(), data->series.end(),
                                    [&](const ObservedSeries& s) { return s.figure == figure; });
    if (name != "day" && named == std::end(kDailyFigureNames)) {
      *error = at_line(1, "unknown column \"" + quoted(name) + "\"");
      return false;
    }
    if (twice) {
      *error = at_line(1, "column \"" + quoted(name) + "\" twice");
      return false;
    }
    if (name == "day") {
      *day = static_cast<int>(c);
      series_of->push_back(kNoColumn);
    } else {
      series_of->push_back(static_cast<int>(data->series.size()));
      data->series.push_back({figure, {}, 0.0});
    }
  }
  if (*day == kNoColumn)
    *error = at_line(1, "no day column");
  else if (data->series.empty())
    *error = at_line(1, "no column of figures besides day");
  return error->empty();
}

} // namespace

bool read_observed_data(const std::string& text, ObservedData* data, std::string* error) {
  error->clear();
  *data = ObservedData{};
  const std::size_t nul = text.find('\0');
  if (nul != std::string::npos) {
    const auto line = std::count(text.begin(), text.begin() + static_cast<long>(nul), '\n') + 1;
    *error = at_line(static_cast<std::size_t>(line), "a NUL byte: not a CSV file");
    return false;
  }
  std::vector<std::string_view> lines;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    lines.push_back(std::string_view(text).substr(at, end - at));
    at = end + 1;
  }
  if (lines.empty() || lines[0].empty() || lines[0] == "\r") {
    *error = at_line(1, "no header: not a CSV file");
    return false;
  }
  std::vector<int> series_of;
  int day_column = kNoColumn;
  if (!read_header(cells_of(lines[0]), &series_of, &day_column, data, error))
    return false;
  if (lines.size() == 1) {
    *error = at_line(2, "no row after the header");
    return false;
  }
  int previous = 0;
  for (std::size_t n = 1; n < lines.size(); ++n) {
    const std::vector<std::string> cells = cells_of(lines[n]);
    const std::size_t line = n + 1;
    if (cells.size() != series_of.size()) {
      *error = at_line(line, std::to_string(cells.size()) + " cells where the header has " +
                                 std::to_string(series_of.size()));
      return false;
    }
    long long day = 0;
    if (!parse_whole_number(cells[static_cast<std::size_t>(day_column)], 1, kMostDataDay, &day)) {
      *error =
          at_line(line, "day \"" + quoted(cells[static_cast<std::size_t>(day_column)]) +
                            "\" is not a whole number from 1 to " + std::to_string(kMostDataDay));
      return false;
    }
    if (day <= previous) {
      *error = at_line(line, "day " + std::to_string(day) + " after day " +
                                 std::to_string(previous) + ": days must increase");
      return false;
    }
    previous = static_cast<int>(day);
    for (std::size_t c = 0; c < cells.size(); ++c) {
      if (series_of[c] == kNoColumn || cells[c].empty())
        continue;
      ObservedSeries& series = data->series[static_cast<std::size_t>(series_of[c])];
      double value = 0;
      if (!parse_real_number(cells[c], &value) || value < 0) {
        *error = at_line(line, std::string(kDailyFigureNames[series.figure]) + " \"" +
                                   quoted(cells[c]) + "\" is not a finite number from 0 up");
        return false;
      }
      value += 0.0; // -0 is 0
      series.observed.push_back({previous, value});
      series.max = std::max(series.max, value);
    }
    if (n == 1)
      data->first_day = previous;
    data->last_day = previous;
  }
  for (const ObservedSeries& series : data->series)
    if (series.observed.empty()) {
      *error = at_line(1, "column \"" + std::string(kDailyFigureNames[series.figure]) +
                              "\" has no value");
      return false;
    }
  return true;
}

bool load_observed_data(const std::string& path, ObservedData* data, std::string* error) {
  std::string text;
  if (!read_regular_file(path, kMostDataBytes, &text, error))
    return false;
  if (read_observed_data(text, data, error))
    return true;
  *error = quoted(path, kWholePath) + ":" + *error;
  return false;
}
