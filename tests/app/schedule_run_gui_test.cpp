#include <gtest/gtest.h>

#include <FL/Fl.H>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "control/policy_event.h"
#include "tests/support/gui_run_fixture.h"

using Days = std::vector<std::string>;

class ScheduleRun : public GuiRunTest {
protected:
  // From the setpoint button: setpoints (0, first) and (10, second) typed and committed, "Use",
  // then a run in which the control's text (its slider agreeing) is recorded day by day.
  Days run_with(Fl_Button* opener, const char* first, const char* second, InputSlider* s) {
    press(opener);
    PolicyEvent* e = nullptr;
    for (Fl_Window* w = Fl::first_window(); w && !e; w = Fl::next_window(w))
      e = dynamic_cast<PolicyEvent*>(w);
    if (!e)
      return {};
    for (int i = 0; i < kSetpoints; ++i) {
      e->day_inputs[i]->value(i == 0 ? "0" : i == 1 ? "10" : "-1");
      auto* field = static_cast<Fl_Input*>(e->value_sliders[i]->user_data());
      field->value(i == 0 ? first : second);
      field->do_callback();
    }
    e->child(e->children() - 2)->do_callback(); // "Use"
    Fl::do_widget_deletion();
    EXPECT_STREQ(opener->label(), "@-4<");

    small_run_settings(30); // nobody recovers before day 30
    type(panel->daily_interactions_slider, "3");
    press(panel->start_button);
    std::map<int, std::string> seen;
    pump_until([&] {
      char slid[64];
      std::snprintf(slid, sizeof slid, "%g", s->slider->value());
      const std::string text = std::strcmp(slid, s->input->value()) ? "slider apart" : slid;
      auto [it, fresh] = seen.emplace(day, text);
      if (!fresh && it->second != text)
        it->second = "changed within the day";
      return day > 12;
    });
    press(panel->stop_button);
    Days out;
    for (int d = 0; d <= 12; ++d)
      out.push_back(seen[d]);
    return out;
  }
};

// Day 0 runs on the panel's value; a setpoint of day k takes effect as day k + 1 begins.
TEST_F(ScheduleRun, InactivityStepsAlongItsSchedule) {
  EXPECT_EQ(run_with(panel->lazy_button, "20", "30", panel->inactivity_slider),
            (Days{"10", "20", "21", "22", "23", "24", "25", "26", "27", "28", "29", "30", "30"}));
}

TEST_F(ScheduleRun, QuarantineRampsInRealStepsAndLeavesInactivityAlone) {
  EXPECT_EQ(run_with(panel->quarantine_button, "0.5", "10", panel->quarantine_rate_slider),
            (Days{"0.5", "0.5", "1.4", "2.3", "3.2", "4.1", "5", "5.9", "6.8", "7.7", "8.6", "10",
                  "10"}));
  EXPECT_STREQ(panel->inactivity_slider->input->value(), "10") << "its flag is not set";
}
