// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <climits>
#include <tuple>

#include "sim/random_stream.h"
#include "sim/schedules.h"
#include "sim/world.h"

namespace {

// The fixture is the panel: it records every value the schedules write back.
class Schedules : public ::testing::Test, public SchedulePanel {
protected:
  void SetUp() override {
    reset_engine_state();
    schedule_panel = this;
  }
  void TearDown() override { reset_engine_state(); }
  void show_inactivity(int v) override { shown.push_back(v); }
  void show_quarantine_rate(double v) override { rates.push_back(v); }
  void show_vaccination_rate(double v) override { vaccination_shown.push_back(v); }

  using Used = std::vector<Setpoint>;
  static void use(PolicyArray* policy, const Used& used) {
    for (int i = 0; i < kSetpoints; ++i)
      (*policy)[i] = i < static_cast<int>(used.size()) ? used[i] : Setpoint{-1, 0.0};
  }
  // The value in force after each boundary that begins days 1 .. last.
  template <typename T>
  std::vector<T> follow(PolicyArray* policy, const Used& used, int last, void (*settle)(),
                        const T& value) {
    use(policy, used);
    std::vector<T> seen;
    for (day = 1; day <= last; ++day)
      settle(), seen.push_back(value);
    return seen;
  }
  auto inactivity(const Used& u, int n) {
    return follow(&lazy_policy, u, n, SettleInactivity, sit_still);
  }
  auto quarantine(const Used& u, int n) {
    return follow(&quarantine_policy, u, n, SettleQuarantine, quarantine_rate);
  }
  auto vaccination(const Used& u, int n) {
    return follow(&vaccination_policy, u, n, SettleVaccination, vaccination_rate);
  }

  std::vector<int> shown;
  std::vector<double> rates, vaccination_shown;
};

} // namespace

TEST_F(Schedules, InactivityJumpsAndRampsByTruncatedSteps) {
  const std::vector<int> ramp = {20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 30};
  EXPECT_EQ(inactivity({{0, 20}, {10, 30}}, 12), ramp);
  EXPECT_EQ(shown, ramp) << "each boundary shows the value in force";
  // A rising step below 1 never moves; a falling one lowers by one a day and holds at the goal.
  EXPECT_EQ(inactivity({{0, 20}, {10, 25}}, 11)[9], 20);
  EXPECT_EQ(inactivity({{0, 30}, {10, 25}}, 8), (std::vector<int>{30, 29, 28, 27, 26, 25, 25, 25}));
  // Steps of -1.5 pass over the goal of 15 until the next setpoint.
  EXPECT_EQ(inactivity({{0, 30}, {10, 15}}, 11),
            (std::vector<int>{30, 28, 26, 24, 22, 20, 18, 16, 14, 12, 15}));
  // Several entries matching a day apply in turn; the last one wins and holds.
  EXPECT_EQ(inactivity({{0, 20}, {0, 60}}, 2), (std::vector<int>{60, 60}));
  // Ramp state left over from an earlier run carries on until the first setpoint.
  std::tie(sit_factor, inactivity_goal, sit_still) = std::make_tuple(2.0, 90, 10);
  EXPECT_EQ(inactivity({{3, 50}}, 4), (std::vector<int>{12, 14, 16, 50}));
}

TEST_F(Schedules, InactivityDrawsTheMoversOnRampDaysOnly) {
  World w;
  init_world(&w, 20, 0);
  use(&lazy_policy, {{2, 40}});
  random_seed(7);
  day = 3;
  SettleInactivity(); // the setpoint day: the value jumps, nobody is drawn again
  EXPECT_EQ(std::make_pair(random_state, sit_still), std::make_pair(7u, 40));
  day = 4; // a ramp day: one mobility draw per person, against the value in force
  SettleInactivity();
  random_seed(7);
  for (int i = 0; i < 20; ++i)
    EXPECT_EQ(person[i]->mobile, percent_draw() > 40 ? 1 : 0);
}

// Far-out values saturate.
TEST_F(Schedules, QuarantineRampsByTheTruncatedDifference) {
  const std::vector<double> seen = quarantine({{0, 0.5}, {10, 10}}, 11);
  EXPECT_EQ(std::make_pair(seen[0], seen[10]), std::make_pair(0.5, 10.0));
  EXPECT_NEAR(seen[9], 0.5 + 9 * 0.9, 1e-12);
  EXPECT_EQ(rates, seen);
  // After the tenth entry a fractional last value never meets its whole goal: the step goes on.
  std::vector<Setpoint> all;
  for (int i = 0; i < kSetpoints; ++i)
    all.push_back({i, i == 9 ? 10.5 : 1.0 * i});
  for (auto [last, after] : {std::pair{10.5, 14.5}, {10.0, 10.0}}) {
    all[9].value = last;
    EXPECT_EQ(quarantine(all, 12)[11], after) << last;
  }
  EXPECT_EQ(quarantine({{0, 1e300}, {5, -1e300}}, 2).back(), 1e300);
  EXPECT_EQ(inactivity({{0, 1e300}, {1, -1e300}}, 3),
            (std::vector<int>{INT_MAX, INT_MIN, INT_MIN}));
}

// Real steps, no goal, nothing truncated; a setpoint without a later one holds, the tenth too.
TEST_F(Schedules, VaccinationRampsInRealNumbers) {
  const std::vector<double> seen = vaccination({{0, 0.5}, {4, 2.5}, {6, 1}}, 9);
  EXPECT_EQ(seen, (std::vector<double>{0.5, 1, 1.5, 2, 2.5, 1.75, 1, 1, 1}));
  EXPECT_EQ(vaccination_shown, seen);
  std::vector<Setpoint> all;
  for (int i = 0; i < kSetpoints; ++i)
    all.push_back({2 * i, 0.25 * i});
  EXPECT_EQ(vaccination(all, 22)[21], 2.25);
  std::tie(v_factor, vaccination_rate) = std::make_tuple(0.5, 1.0); // left over from a run
  EXPECT_EQ(vaccination({{2, 0.1}, {3, 0.1}}, 4), (std::vector<double>{1.5, 2, 0.1, 0.1}));
}

// Day 0 runs on the panel's value; only a schedule in use acts, at the first tick of each day.
TEST_F(Schedules, TicksFollowTheSchedulesInUseAtDayBoundaries) {
  World w;
  w.daily_interactions = 2;
  use(&lazy_policy, {{0, 20}, {10, 30}});
  use(&quarantine_policy, {{0, 7.0}});
  use(&vaccination_policy, {{1, 3.0}});
  lazy_policy_on = vaccination_policy_on = 1;
  sit_still = 10;
  TickHooks none;
  std::vector<int> seen(13, -1);
  for (int t = 0; t < 2 + 12 * 3; ++t) { // day 0 is a tick short
    w.tick(none);
    EXPECT_TRUE(seen[day] == -1 || seen[day] == sit_still) << "changed within day " << day;
    seen[day] = sit_still;
  }
  EXPECT_EQ(seen, (std::vector<int>{10, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 30}));
  EXPECT_EQ(std::make_pair(quarantine_rate, vaccination_rate), std::make_pair(0.5, 3.0));
}
