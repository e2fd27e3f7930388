// SPDX-License-Identifier: MIT
// Inactivity and the quarantine rate by their schedules; the vaccination rate's schedule and the
// tick's use of every schedule are the reference model's and the batch runner's.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <tuple>
#include <vector>

#include "sim/schedules.h"
#include "sim/world.h"

namespace {

// The fixture is the panel: it records what the schedules show.
class Schedules : public ::testing::Test, public SchedulePanel {
protected:
  void SetUp() override {
    reset_engine_state();
    schedule_panel = this;
  }
  void TearDown() override { reset_engine_state(); }
  void show_inactivity(int v) override { show(v); }
  void show_quarantine_rate(double v) override { show(v); }
  void show(double v) { // the last value shown on each day
    shown.resize(day, NAN);
    shown[day - 1] = v;
  }

  // The value in force after each boundary that begins days 1 .. last; each one is shown.
  std::vector<double> follow(bool quarantine, const std::vector<Setpoint>& used, int last) {
    PolicyArray& policy = quarantine ? quarantine_policy : lazy_policy;
    for (int i = 0; i < kSetpoints; ++i)
      policy[i] = i < static_cast<int>(used.size()) ? used[i] : Setpoint{-1, 0.0};
    std::vector<double> seen;
    shown.clear();
    for (day = 1; day <= last; ++day) {
      quarantine ? SettleQuarantine() : SettleInactivity();
      seen.push_back(quarantine ? quarantine_rate : sit_still);
    }
    EXPECT_EQ(shown, seen);
    return seen;
  }

  std::vector<double> shown;
};

} // namespace

// Inactivity ramps by truncated steps: a rising step below 1 never moves, a falling one lowers by
// one a day and holds at its goal, steps of -1.5 pass over a goal of 15 until the next setpoint.
// The quarantine rate ramps by the truncated difference; after a fractional tenth entry the step
// goes on, never meeting its whole goal. Entries of one day apply in turn, the last one winning;
// far-out values saturate.
TEST_F(Schedules, JumpsAndRampsAsTheirRulesSay) {
  const auto tenth = [](double last) {
    std::vector<Setpoint> all;
    for (int i = 0; i < kSetpoints; ++i)
      all.push_back({i, i == 9 ? last : i});
    return all;
  };
  const struct {
    bool quarantine;
    std::vector<Setpoint> used;
    std::vector<double> seen;
  } cases[] = {
      {false, {{0, 20}, {10, 30}}, {20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 30}},
      {false, {{0, 20}, {10, 25}}, {20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 25}},
      {false, {{0, 30}, {10, 25}}, {30, 29, 28, 27, 26, 25, 25, 25}},
      {false, {{0, 30}, {10, 15}}, {30, 28, 26, 24, 22, 20, 18, 16, 14, 12, 15}},
      {false, {{0, 20}, {0, 60}}, {60, 60}},
      {false, {{0, 1e300}, {1, -1e300}}, {INT_MAX, INT_MIN, INT_MIN}},
      {true, {{0, 0.5}, {4, 10}}, {0.5, 2.75, 5, 7.25, 10}},
      {true, {{0, 1e300}, {5, -1e300}}, {1e300, 1e300}},
      {true, tenth(10.5), {0, 1, 2, 3, 4, 5, 6, 7, 8, 10.5, 12.5, 14.5}},
      {true, tenth(10.0), {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 10, 10}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(follow(c.quarantine, c.used, static_cast<int>(c.seen.size())), c.seen)
        << "case " << &c - cases;
  // Ramp state left over from an earlier run carries on until the first setpoint.
  std::tie(sit_factor, inactivity_goal, sit_still) = std::make_tuple(2.0, 90, 10);
  EXPECT_EQ(follow(false, {{3, 50}}, 4), (std::vector<double>{12, 14, 16, 50}));
}
