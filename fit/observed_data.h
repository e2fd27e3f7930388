// SPDX-License-Identifier: MIT
#pragma once
// The observed figures a fit compares the model with: a CSV file with a `day` column (whole days
// from 1, strictly increasing) and one column per observed series, named as the daily CSV's column
// of that figure. A blank cell is a day without a value for that series.
#include <cstddef>
#include <string>
#include <vector>

// Runs go at most this many days, so the data's days stop there too; they increase strictly, so
// this also bounds the rows.
constexpr int kMostDataDay = 32768;
// `day` and each of a run's daily figures once.
constexpr int kMostDataColumns = 16;
// The most bytes a data file may take: every cell of every row, with room for long numbers.
constexpr std::size_t kMostDataBytes = std::size_t{16} << 20;

struct Observation {
  int day;
  double value; // finite, not below 0
};

struct ObservedSeries {
  int figure;                        // the daily figure: an index into kDailyFigureNames
  std::vector<Observation> observed; // the days with a value, in increasing days; never empty
  double max;                        // the largest value observed
};

struct ObservedData {
  std::vector<ObservedSeries> series; // in the file's column order
  int first_day, last_day;            // of the file's rows
};

// Reads the text of a data file. False with "LINE: REASON" in *error for anything else: no
// header, no `day` column, an unknown or repeated column, a row of another cell count, a day that
// is not a whole number from 1 or does not follow the row before, a value that is not a finite
// number or is below 0, a series without a value, a NUL byte.
bool read_observed_data(const std::string& text, ObservedData* data, std::string* error);

// Reads the data file at `path` (a regular file of at most kMostDataBytes). False with the reason
// in *error: "cannot read PATH: ..." or "PATH:LINE: REASON".
bool load_observed_data(const std::string& path, ObservedData* data, std::string* error);
