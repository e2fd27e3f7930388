// SPDX-License-Identifier: MIT
#include "fit/score.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

namespace {

// A run's row of `day` holding the given figures, 0 elsewhere.
DayFigures row(int day, std::initializer_list<std::pair<int, long long>> figures) {
  DayFigures r{day, {}};
  for (const auto& [figure, value] : figures)
    r.sample.value[figure] = value;
  return r;
}

// Run A ends after day 2, run B after day 4.
const std::vector<DayFigures> kRunA = {
    row(1, {{kSampleInfected, 4}, {kSampleImmune, 5}, {kSampleNewCases, 3}}),
    row(2, {{kSampleInfected, 2}, {kSampleDead, 1}, {kSampleImmune, 6}})};
const std::vector<DayFigures> kRunB = {
    row(1, {{kSampleInfected, 6}, {kSampleImmune, 7}}),
    row(2, {{kSampleInfected, 4}, {kSampleDead, 2}, {kSampleImmune, 8}}),
    row(3, {{kSampleInfected, 2}, {kSampleDead, 3}, {kSampleImmune, 9}}),
    row(4, {{kSampleDead, 4}, {kSampleImmune, 10}})};

bool score_of(const std::string& csv, std::vector<double> weights, int offset, PointScore* score,
              std::string* error) {
  FitTarget target{{}, std::move(weights), offset};
  if (!read_observed_data(csv, &target.data, error))
    return false;
  PointRuns runs(target);
  runs.add_run(kRunA);
  runs.add_run(kRunB);
  return runs.score(score, error);
}

} // namespace

// Data day d is model day d + 1. Model day 2: infected (2 + 4) / 2 = 3, dead (1 + 2) / 2 = 1.5.
// Day 3, A has ended: dead keeps A's 1, (1 + 3) / 2 = 2; immune leaves A out, 9. Day 4: infected
// counts A as 0, (0 + 0) / 2 = 0; dead (1 + 4) / 2 = 2.5. Each divided by its series' max:
// infected |5 - 3| / 5 + 0 = 0.4; dead (0.5 + 0 + 1.5) / 4 = 0.5, weighed 2; immune 1 / 10.
TEST(Score, endedRunsCountAsTheSummaryCountsThemAtTheOffset) {
  PointScore score;
  std::string error;
  ASSERT_TRUE(
      score_of("day,infected,dead,immune\n1,5,1,\n2,,2,10\n3,0,4,\n", {1, 2, 1}, 1, &score, &error))
      << error;
  EXPECT_EQ(score.shares, (std::vector<double>{0.4, 1.0, 0.1}));
  EXPECT_DOUBLE_EQ(score.score, 1.5);
}

// Model day 0, before the runs began: infected 0, so |3 - 0| / 3; immune as on day 1,
// |8 - (5 + 7) / 2| / 8. An all-zero series is measured in counts: new_cases |0 - 1.5| / 1. Past
// every run's end, immune is not known.
TEST(Score, beforeDayOneFlowsAreZeroStocksTheirFirstValueAndAllZeroDataCountsInUnits) {
  PointScore score;
  std::string error;
  ASSERT_TRUE(score_of("day,infected,immune\n1,3,8\n", {}, -1, &score, &error)) << error;
  EXPECT_EQ(score.shares, (std::vector<double>{1.0, 0.25}));
  ASSERT_TRUE(score_of("day,new_cases\n1,0\n", {}, 0, &score, &error)) << error;
  EXPECT_DOUBLE_EQ(score.score, 1.5);
  EXPECT_FALSE(score_of("day,dead,immune\n1,1,1\n", {}, 4, &score, &error));
  EXPECT_EQ(error, "immune on model day 5 (data day 1): every run had ended, after which it is "
                   "not known");
}
