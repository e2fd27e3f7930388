// SPDX-License-Identifier: MIT
#pragma once
// Observed data made with the model itself: a run's daily CSV cut down to some columns.
#include <string>
#include <vector>

#include "../support/batch_process.h"

// A CSV line's cells (none of ours is quoted).
inline std::vector<std::string> cells(const std::string& line) {
  std::vector<std::string> out(1);
  for (const char c : line)
    if (c == ',')
      out.emplace_back();
    else
      out.back().push_back(c);
  return out;
}

// "day,C1,C2,..." from the daily CSV `csv`: the row of model day d + shift as data day d, for
// data days 1 to last_day that the run reached.
inline std::string data_columns(const std::string& csv, const std::vector<std::string>& columns,
                                int shift, int last_day) {
  const std::vector<std::string> lines = split_lines(csv);
  const std::vector<std::string> header = cells(lines.at(0));
  std::string text = "day";
  std::vector<std::size_t> at;
  for (const std::string& c : columns) {
    text += "," + c;
    for (std::size_t i = 0; i < header.size(); ++i)
      if (header[i] == c)
        at.push_back(i);
  }
  text += "\n";
  for (int day = 1; day <= last_day && day + shift < static_cast<int>(lines.size()); ++day) {
    const std::vector<std::string> row = cells(lines.at(static_cast<std::size_t>(day + shift)));
    text += std::to_string(day);
    for (const std::size_t i : at)
      text += "," + row.at(i);
    text += "\n";
  }
  return text;
}
