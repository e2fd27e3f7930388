#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/gui_run_fixture.h"

using Days = std::vector<std::string>;

class ScheduleRun : public GuiRunTest {
protected:
  // Setpoints (0, first) and (10, second) in force, then a run in which the control's text, its
  // slider agreeing, is recorded for days 0 to 12.
  Days run_with(PolicyArray& policy, int& on, double first, double second, InputSlider* s) {
    for (int i = 0; i < kSetpoints; ++i)
      policy[i] = Setpoint{i < 2 ? 10 * i : -1, i == 0 ? first : second};
    on = 1;
    small_run_settings(30); // nobody recovers before day 30
    type(panel->daily_interactions_slider, "3");
    press(panel->start_button);
    Days seen(13);
    pump_until([&] {
      char slid[64];
      std::snprintf(slid, sizeof slid, "%g", s->slider->value());
      const std::string text = std::strcmp(slid, s->input->value()) ? "slider apart" : slid;
      if (day <= 12 && seen[day] != text)
        seen[day] = seen[day].empty() ? text : "changed within the day";
      return day > 12;
    });
    press(panel->stop_button);
    return seen;
  }
};

// Day 0 runs on the panel's value; a setpoint of day k takes effect as day k + 1 begins.
TEST_F(ScheduleRun, InactivityStepsAlongItsSchedule) {
  EXPECT_EQ(run_with(panel->lazy_policy, panel->lazy_policy_on, 20, 30, panel->inactivity_slider),
            (Days{"10", "20", "21", "22", "23", "24", "25", "26", "27", "28", "29", "30", "30"}));
}

TEST_F(ScheduleRun, QuarantineRampsInRealStepsAndLeavesInactivityAlone) {
  EXPECT_EQ(run_with(panel->quarantine_policy, panel->quarantine_policy_on, 0.5, 10,
                     panel->quarantine_rate_slider),
            (Days{"0.5", "0.5", "1.4", "2.3", "3.2", "4.1", "5", "5.9", "6.8", "7.7", "8.6", "10",
                  "10"}));
  EXPECT_STREQ(panel->inactivity_slider->input->value(), "10") << "its flag is not set";
}
