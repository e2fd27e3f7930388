// SPDX-License-Identifier: MIT
#pragma once
// How far a parameter point's runs are from the observed data. The score of a point is
//   sum over the observed series S of  W_S * sum over the days d with a value of S
//     |data_S(d) - m_S(d + offset)| / max over d of data_S(d)
// where m_S(t) is the mean over the point's runs of S on model day t: data day d is compared with
// model day d + offset. Lower is closer; 0 is a perfect match.
#include <string>
#include <vector>

#include "fit/observed_data.h"
#include "single_run/run_files.h"

// What a fit compares a point's runs with.
struct FitTarget {
  ObservedData data;
  std::vector<double> weights; // W_S, one per series of `data` (finite, from 0); empty: all 1
  int offset = 0;              // data day d is model day d + offset
};

// A point's score and each series' share of it: its term W_S * sum ..., in the data's series
// order; the shares add up to the score.
struct PointScore {
  double score = 0;
  std::vector<double> shares;
};

// A run's value of `figure` on model day `day`, counted as below; false when the run does not
// count that day (a gap in its rows, or immune after its end). `rows` must not be empty.
bool run_value(const std::vector<DayFigures>& rows, int figure, int day, double* value);

// The runs of one parameter point, added one at a time so that no run's rows need be kept, and
// their score against the target. A run counts on each model day of the data as follows:
// - on a day it has a row: that row's value;
// - after its last row, as the ensemble's summary counts a run that has ended (after_end): 0 in
//   infected and the flows, its last value in the stocks, and not at all in immune;
// - before its first row (day 1), which an offset below 0 can ask for: 0 in infected and the
//   flows, as nothing had happened yet, and its first row's value in the stocks and in immune,
//   the population as the run began.
// A day that no run counts (immune once every run has ended, or no run added) is an error.
class PointRuns {
public:
  explicit PointRuns(const FitTarget& target); // `target` must outlive this
  // A run's rows in increasing days, from day 1, as its daily CSV holds them.
  void add_run(const std::vector<DayFigures>& rows);
  // False, with the series and day at fault in *error, when a data day has no model value, or
  // when the target's weights do not fit its series.
  bool score(PointScore* out, std::string* error) const;

private:
  struct Mean {
    double sum = 0;
    int runs = 0;
  };
  const FitTarget& target_;
  std::vector<std::vector<Mean>> means_; // per series, per observation
  int runs_ = 0;
};
