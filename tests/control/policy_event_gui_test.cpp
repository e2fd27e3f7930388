#include <gtest/gtest.h>

#include <FL/Fl.H>

#include <sstream>
#include <string>

#include "control/policy_event.h"
#include "tests/support/gui_run_fixture.h"

namespace {

// The value field is reachable only as its slider's user data.
Fl_Input* field(PolicyEvent* e, int i) {
  return static_cast<Fl_Input*>(e->value_sliders[i]->user_data());
}

void press_use(PolicyEvent* e, bool use = true) { // "Use", or else "Cancel", after it
  e->child(e->children() - (use ? 2 : 1))->do_callback();
}

PolicyEvent* open(Fl_Button* b) { // the one editor shown
  b->do_callback();
  for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
    if (auto* e = dynamic_cast<PolicyEvent*>(w))
      return e;
  return nullptr;
}

} // namespace

using Editor = GuiRunTest;

TEST_F(Editor, DayOrderRuleMarksTheFirstDayOutOfOrder) {
  // Missing days are -1. Not a number is day 0; a huge day saturates instead of wrapping to 0.
  const char* days[] = {"0 30 60 90", "0 30 -1 10", "0 30 30",     "-5",
                        "3 abc",      "abc 1",      "5 4294967296"};
  const int marked[] = {-1, -1, 2, 0, 1, -1, -1};
  PolicyEvent* e = open(panel->lazy_button);
  ASSERT_NE(e, nullptr);
  for (int k = 0; k < 7; ++k) {
    std::istringstream in(days[k]);
    for (int i = 0; i < kSetpoints; ++i) {
      std::string d = "-1";
      in >> d;
      e->day_inputs[i]->value(d.c_str());
      e->day_inputs[i]->color(FL_YELLOW); // stale marks, which the walk must clear
    }
    e->day_inputs[0]->do_callback();
    for (int i = 0; i <= (marked[k] < 0 ? kSetpoints - 1 : marked[k]); ++i)
      EXPECT_EQ(e->day_inputs[i]->color(), i == marked[k] ? FL_YELLOW : FL_WHITE) << days[k] << i;
  }
  press_use(e, false);
}

TEST_F(Editor, UseStoresSlidersAndHandsOverCancelHandsBackEvenWhileLocked) {
  PolicyEvent* e = open(panel->lazy_button);
  ASSERT_NE(e, nullptr);
  e->day_inputs[2]->value("30");
  press_use(e);
  EXPECT_EQ(e->day_inputs[2]->color(), FL_YELLOW);
  EXPECT_EQ(panel->lazy_policy_on, 0) << "days out of order: nothing stored";
  e->day_inputs[2]->value("31x");
  e->value_sliders[2]->value(33.3333);
  e->value_sliders[2]->do_callback();
  EXPECT_STREQ(field(e, 2)->value(), "33.3");
  for (auto [i, text] : {std::pair{3, "150"}, {4, "nan"}}) { // 150 lies beyond the slider, kept
    field(e, i)->value(text);
    field(e, i)->do_callback();
  }
  field(e, 5)->value("99"); // not committed: the slider's value is what is stored
  press_use(e);
  EXPECT_EQ(panel->lazy_policy[2].setpoint_day, 31);
  const double stored[] = {33.3333, 150, 0, 50}; // "nan" leaves its slider at 0
  for (int i = 2; i <= 5; ++i)
    EXPECT_EQ(panel->lazy_policy[i].value, stored[i - 2]) << i;
  EXPECT_EQ(panel->lazy_policy_on, 1);
  EXPECT_STREQ(panel->lazy_button->label(), "@-4<");
  EXPECT_FALSE(panel->inactivity_slider->input->active());

  panel->LockControls();
  PolicyEvent* c = open(panel->lazy_button);
  ASSERT_NE(c, nullptr);
  c->value_sliders[0]->value(77.0);
  press_use(c, false);
  EXPECT_EQ(panel->lazy_policy[0].value, 50.0);
  EXPECT_EQ(panel->lazy_policy_on, 0);
  EXPECT_STREQ(panel->lazy_button->label(), "@-4+");
  EXPECT_TRUE(panel->inactivity_slider->input->active()) << "active although locked";
  Fl_Widget_Tracker used(e), cancelled(c);
  Fl::do_widget_deletion();
  EXPECT_TRUE(used.deleted() && cancelled.deleted()) << "finished editors are released";
}
