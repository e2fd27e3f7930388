// SPDX-License-Identifier: MIT
#include "fit/search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <tuple>

namespace {

// A whole parameter, and two reals at two decimals and at one.
const std::vector<FitParameter> kBounds = {
    {"a", 0, 20, true, 0}, {"b", -1, 1, false, 2}, {"c", 0, 5, false, 1}};

// Lowest, 0, at a = 7, b = 0.37, c = 2.3. Every point asked for is kept.
ScorePoint bowl(std::vector<std::vector<double>>* asked) {
  return [asked](const std::vector<double>& v, PointScore* score, std::string*) {
    asked->push_back(v);
    *score = {(v[0] - 7) * (v[0] - 7) + 50 * (v[1] - 0.37) * (v[1] - 0.37) +
                  (v[2] - 2.3) * (v[2] - 2.3),
              {}};
    return true;
  };
}

} // namespace

TEST(Search, findsTheLowestPointWithinItsBudgetScoringNoPointTwice) {
  for (const int budget : {5, 80}) {
    std::vector<std::vector<double>> asked;
    std::vector<Trial> trials;
    std::string error;
    ASSERT_TRUE(search_fit(kBounds, budget, bowl(&asked), &trials, &error)) << error;
    ASSERT_LE(asked.size(), static_cast<std::size_t>(budget));
    ASSERT_EQ(trials.size(), asked.size());
    std::set<std::vector<long long>> steps;
    for (const std::vector<double>& v : asked) {
      const std::vector<long long> at = {std::llround(v[0]), std::llround(v[1] * 100),
                                         std::llround(v[2] * 10)};
      EXPECT_EQ(v, (std::vector<double>{at[0] / 1.0, at[1] / 100.0, at[2] / 10.0}));
      EXPECT_TRUE(steps.insert(at).second) << v[0] << " " << v[1] << " " << v[2];
    }
    const std::vector<double> lowest = {7, 0.37, 2.3}; // more than 5 points away
    EXPECT_TRUE(budget == 5 || std::find(asked.begin(), asked.end(), lowest) != asked.end());
    std::vector<std::vector<double>> again;
    ASSERT_TRUE(search_fit(kBounds, budget, bowl(&again), &trials, &error));
    EXPECT_EQ(again, asked);
  }
}

TEST(Search, boundsReadAndAFailingPointEndsTheSearchWithItsReason) {
  std::vector<Trial> trials;
  std::string error;
  const ScorePoint failing = [&](const std::vector<double>&, PointScore* score, std::string* why) {
    *score = {1.0 * trials.size(), {}};
    *why = "run 3 of the point crashed";
    return trials.size() < 3;
  };
  std::string name;
  double low = 0, high = 0;
  EXPECT_TRUE(parse_bound("death-rate=0.5:20", &name, &low, &high, &error));
  EXPECT_EQ(std::tuple(name, low, high), std::tuple("death-rate", 0.5, 20.0));
  EXPECT_FALSE(parse_bound("death-rate=2:2", &name, &low, &high, &error));
  EXPECT_FALSE(search_fit(kBounds, 100, failing, &trials, &error));
  EXPECT_EQ(std::pair(error, trials.size()),
            std::pair(std::string("run 3 of the point crashed"), std::size_t{3}));
}

// The fresh score decides among the five best distinct points; trial 3 repeats trial 1's point.
TEST(Search, theBestIsChosenOnFreshSeeds) {
  const double search[] = {3, 1, 4, 1, 2, 6, 5, 0.5};
  std::vector<Trial> trials;
  for (int t = 0; t < 8; ++t)
    trials.push_back({{t == 3 ? 1.0 : t}, {search[t], {}}});
  std::vector<double> rescored;
  const ScorePoint fresh = [&](const std::vector<double>& v, PointScore* score, std::string*) {
    rescored.push_back(v[0]);
    *score = {v[0] == 0 ? 0.25 : 10 - v[0], {}};
    return true;
  };
  FitChoice choice;
  std::string error;
  ASSERT_TRUE(choose_on_fresh_seeds(trials, fresh, &choice, &error)) << error;
  EXPECT_EQ(rescored, (std::vector<double>{7, 1, 4, 0, 2}));
  const Rescored& best = choice.rescored[choice.best];
  EXPECT_EQ(best.trial, 0u);
  EXPECT_EQ(std::pair(trials[best.trial].score.score, best.fresh.score), std::pair(3.0, 0.25));
}
