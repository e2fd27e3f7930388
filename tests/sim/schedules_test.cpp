#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "sim/random_stream.h"
#include "sim/schedules.h"
#include "sim/world.h"

namespace {

// Records every value the schedules write back into the panel.
class RecordingPanel : public SchedulePanel {
public:
  void show_inactivity(int v) override { inactivity.push_back(v); }
  void show_quarantine_rate(double v) override { rates.push_back(v); }
  std::vector<int> inactivity;
  std::vector<double> rates;
};

void set_schedule(PolicyArray* policy, const std::vector<Setpoint>& used) {
  for (int i = 0; i < kSetpoints; ++i)
    (*policy)[i] = i < static_cast<int>(used.size()) ? used[i] : Setpoint{-1, 0.0};
}

class Schedules : public ::testing::Test {
protected:
  void SetUp() override {
    reset_engine_state();
    schedule_panel = &panel;
  }
  void TearDown() override { reset_engine_state(); }

  // Runs the inactivity schedule over the boundaries that begin days 1..last_day.
  std::vector<int> inactivity_over(int last_day) {
    std::vector<int> seen;
    for (day = 1; day <= last_day; ++day) {
      SettleInactivity();
      seen.push_back(sit_still);
    }
    return seen;
  }
  std::vector<double> quarantine_over(int last_day) {
    std::vector<double> seen;
    for (day = 1; day <= last_day; ++day) {
      SettleQuarantine();
      seen.push_back(quarantine_rate);
    }
    return seen;
  }

  RecordingPanel panel;
};

} // namespace

TEST_F(Schedules, InactivityJumpsThenRampsByWholeSteps) {
  set_schedule(&panel.lazy_policy, {{0, 20}, {10, 30}});
  sit_still = 10;
  const std::vector<int> expected = {20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 30, 30};
  EXPECT_EQ(inactivity_over(13), expected);
  EXPECT_EQ(panel.inactivity, expected) << "each boundary shows the value in force";
  EXPECT_EQ(sit_factor, 0.0);
}

TEST_F(Schedules, InactivityStepsTruncate) {
  // A rising step of 0.5 never moves the value.
  set_schedule(&panel.lazy_policy, {{0, 20}, {10, 25}});
  std::vector<int> seen = inactivity_over(11);
  EXPECT_EQ(seen[1], 20);
  EXPECT_EQ(seen[9], 20);
  EXPECT_EQ(seen[10], 25);

  // A falling step of -0.5 lowers by one a day until it meets the goal, then holds.
  reset_engine_state();
  schedule_panel = &panel;
  set_schedule(&panel.lazy_policy, {{0, 30}, {10, 25}});
  seen = inactivity_over(11);
  EXPECT_EQ(std::vector<int>(seen.begin(), seen.begin() + 8),
            (std::vector<int>{30, 29, 28, 27, 26, 25, 25, 25}));

  // Steps of -1.5 pass over the goal of 15 and go on until the next setpoint.
  reset_engine_state();
  schedule_panel = &panel;
  set_schedule(&panel.lazy_policy, {{0, 30}, {10, 15}});
  seen = inactivity_over(11);
  EXPECT_EQ(seen, (std::vector<int>{30, 28, 26, 24, 22, 20, 18, 16, 14, 12, 15}));
}

TEST_F(Schedules, InactivityRedrawsTheMoversOnlyOnRampDays) {
  global_area = 50;
  World w;
  w.drivers_pct = 0;
  init_world(&w, 20, 0);
  set_schedule(&panel.lazy_policy, {{5, 40}});
  sit_still = 60;
  random_seed(7);
  for (day = 1; day <= 5; ++day)
    SettleInactivity(); // no setpoint yet: ramp days with no step, 20 draws each
  EXPECT_EQ(sit_still, 60);
  random_seed(7);
  for (int i = 0; i < 5 * 20; ++i)
    random_draw();
  const uint32_t after_ramp_days = random_state;
  random_seed(7);
  for (day = 1; day <= 5; ++day)
    SettleInactivity();
  EXPECT_EQ(random_state, after_ramp_days);
  day = 6; // the setpoint day: value jumps, nobody is drawn again
  SettleInactivity();
  EXPECT_EQ(sit_still, 40);
  EXPECT_EQ(random_state, after_ramp_days);
  // Movers follow the value in force: every mobile flag matches its own draw.
  random_seed(3);
  std::vector<int> draws;
  for (int i = 0; i < 20; ++i)
    draws.push_back(percent_draw());
  random_seed(3);
  day = 7;
  SettleInactivity();
  for (int i = 0; i < 20; ++i)
    EXPECT_EQ(person[i]->mobile, draws[i] > 40 ? 1 : 0);
  clean_world();
}

TEST_F(Schedules, RampStateCarriesOverAndHolds) {
  // Left over from an earlier run: a step of 2 towards 90.
  sit_factor = 2.0;
  inactivity_goal = 90;
  set_schedule(&panel.lazy_policy, {{3, 50}});
  sit_still = 10;
  EXPECT_EQ(inactivity_over(4), (std::vector<int>{12, 14, 16, 50}));
  // The last used entry followed by an unused one holds its value.
  EXPECT_EQ(sit_factor, 0.0);
  // Entries whose next day does not lie later hold too.
  set_schedule(&panel.lazy_policy, {{0, 20}, {0, 60}});
  day = 1;
  SettleInactivity();
  EXPECT_EQ(sit_still, 60) << "every matching entry applies; the last wins";
}

TEST_F(Schedules, QuarantineRampsByTheTruncatedDifference) {
  set_schedule(&panel.quarantine_policy, {{0, 0.5}, {10, 10}});
  const std::vector<double> seen = quarantine_over(11);
  EXPECT_EQ(seen[0], 0.5);
  EXPECT_DOUBLE_EQ(q_factor, 0.0) << "the next entry is unused";
  EXPECT_NEAR(seen[1], 1.4, 1e-12);
  EXPECT_NEAR(seen[9], 0.5 + 9 * 0.9, 1e-12);
  EXPECT_EQ(seen[10], 10.0);
  EXPECT_EQ(panel.rates.size(), 11u);
}

TEST_F(Schedules, QuarantineAfterTheLastEntryKeepsItsStep) {
  std::vector<Setpoint> all;
  for (int i = 0; i < kSetpoints; ++i)
    all.push_back({i, i == 9 ? 10.5 : 1.0 * i});
  set_schedule(&panel.quarantine_policy, all);
  std::vector<double> seen = quarantine_over(12);
  EXPECT_EQ(seen[9], 10.5);
  // From 8 to 10.5 the step was trunc(10 - 8) = 2: it never meets the goal 10 again.
  EXPECT_DOUBLE_EQ(seen[10], 12.5);
  EXPECT_DOUBLE_EQ(seen[11], 14.5);

  reset_engine_state();
  schedule_panel = &panel;
  all[9].value = 10.0;
  set_schedule(&panel.quarantine_policy, all);
  seen = quarantine_over(12);
  EXPECT_EQ(seen[11], 10.0) << "a whole last value equals the goal and holds";
}

TEST_F(Schedules, FarOutValuesStaySafe) {
  // Typed values far outside the int range saturate instead of overflowing a conversion.
  set_schedule(&panel.lazy_policy, {{0, 1e300}, {1, -1e300}});
  EXPECT_EQ(inactivity_over(3), (std::vector<int>{INT_MAX, INT_MIN, INT_MIN}));
  set_schedule(&panel.quarantine_policy, {{0, 1e300}, {5, -1e300}});
  EXPECT_EQ(quarantine_over(2).back(), 1e300);
}

TEST(DayOrder, EditorRuleExamples) {
  const int rising[] = {0, 30, 60, 90, 120, 150, 180, 210, 240, 270};
  const int after_gap[] = {0, 30, -1, 10, 20, 40, 50, 60, 70, 80};
  const int repeated[] = {0, 30, 30, -1, -1, -1, -1, -1, -1, -1};
  const int negative_first[] = {-5, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  const int unused_first[] = {-1, 0, -1, -1, -1, -1, -1, -1, -1, -1};
  EXPECT_EQ(first_day_out_of_order(rising), -1);
  EXPECT_EQ(first_day_out_of_order(after_gap), -1);
  EXPECT_EQ(first_day_out_of_order(repeated), 2);
  EXPECT_EQ(first_day_out_of_order(negative_first), 0);
  EXPECT_EQ(first_day_out_of_order(unused_first), -1);
}
