#include <gtest/gtest.h>

#include <FL/Fl.H>

#include <cstring>
#include <set>
#include <vector>

#include "control/policy_event.h"
#include "tests/support/gui_run_fixture.h"

namespace {

// The value field is reachable only as its slider's user data.
Fl_Input* field(PolicyEvent* e, int i) {
  return static_cast<Fl_Input*>(e->value_sliders[i]->user_data());
}

void press_in(PolicyEvent* e, const char* label) {
  for (int i = 0; i < e->children(); ++i)
    if (e->child(i)->label() && std::strcmp(e->child(i)->label(), label) == 0)
      e->child(i)->do_callback();
}

class Editor : public GuiRunTest {
protected:
  // The editor a press of the button opened: the shown one not seen before.
  PolicyEvent* open(Fl_Button* b) {
    press(b);
    for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w)) {
      auto* e = dynamic_cast<PolicyEvent*>(w);
      if (e && opened.insert(e).second)
        return e;
    }
    return nullptr;
  }
  void TearDown() override {
    std::vector<Fl_Window*> still_open;
    for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
      if (dynamic_cast<PolicyEvent*>(w))
        still_open.push_back(w);
    for (Fl_Window* w : still_open)
      delete w;
    Fl::do_widget_deletion();
    GuiRunTest::TearDown();
  }
  std::set<PolicyEvent*> opened;
};

} // namespace

TEST_F(Editor, DayOrderRuleMarksTheFirstDayOutOfOrder) {
  const std::vector<std::pair<std::vector<const char*>, int>> cases = {
      {{"0", "30", "60", "90", "120", "150", "180", "210", "240", "270"}, -1},
      {{"0", "30", "-1", "10", "20", "40", "50", "60", "70", "80"}, -1},
      {{"0", "30", "30"}, 2},
      {{"-5"}, 0},
      {{"-1", "0"}, -1},
      {{"3", "abc"}, 1},
      {{"abc", "1"}, -1},        // not a number is day 0
      {{"5", "4294967296"}, -1}, // a huge day saturates instead of wrapping to 0
  };
  PolicyEvent* e = open(panel->lazy_button);
  ASSERT_NE(e, nullptr);
  for (const auto& [days, marked] : cases) {
    for (int i = 0; i < kSetpoints; ++i) {
      e->day_inputs[i]->value(i < static_cast<int>(days.size()) ? days[i] : "-1");
      e->day_inputs[i]->color(i == 7 ? FL_YELLOW : FL_WHITE); // 7: a mark past the walk's end
    }
    e->day_inputs[0]->do_callback();
    for (int i = 0; i < 7; ++i)
      EXPECT_EQ(e->day_inputs[i]->color(), i == marked ? FL_YELLOW : FL_WHITE) << days[0];
    EXPECT_EQ(e->day_inputs[7]->color(), marked < 0 ? FL_WHITE : FL_YELLOW);
  }
}

TEST_F(Editor, UseStoresAndHandsOverCancelHandsBackEvenWhileLocked) {
  PolicyEvent* e = open(panel->lazy_button);
  ASSERT_NE(e, nullptr);
  EXPECT_STREQ(e->label(), "Inactivity");
  e->day_inputs[2]->value("30");
  press_in(e, "Use");
  EXPECT_TRUE(e->visible()) << "days out of order: nothing stored";
  EXPECT_EQ(e->day_inputs[2]->color(), FL_YELLOW);
  EXPECT_EQ(panel->lazy_policy_on, 0);

  e->day_inputs[2]->value("31x");
  e->value_sliders[2]->value(12.5);
  field(e, 3)->value("99"); // not committed: the slider's value is what is stored
  press_in(e, "Use");
  EXPECT_EQ(panel->lazy_policy[2].setpoint_day, 31);
  EXPECT_EQ(panel->lazy_policy[2].value, 12.5);
  EXPECT_EQ(panel->lazy_policy[3].value, 50.0);
  EXPECT_EQ(panel->lazy_policy_on, 1);
  EXPECT_STREQ(panel->lazy_button->label(), "@-4<");
  EXPECT_FALSE(panel->inactivity_slider->input->active());
  EXPECT_STREQ(panel->quarantine_button->label(), "@-4+") << "the other schedule is untouched";

  panel->LockControls();
  PolicyEvent* c = open(panel->lazy_button); // a second editor, while the first is going
  ASSERT_NE(c, nullptr);
  c->value_sliders[0]->value(77.0);
  press_in(c, "Cancel");
  EXPECT_EQ(panel->lazy_policy[0].value, 50.0);
  EXPECT_EQ(panel->lazy_policy_on, 0);
  EXPECT_STREQ(panel->lazy_button->label(), "@-4+");
  EXPECT_TRUE(panel->inactivity_slider->input->active()) << "active although locked";

  PolicyEvent* closed = open(panel->quarantine_button);
  ASSERT_NE(closed, nullptr);
  EXPECT_STREQ(closed->label(), "Quarantine");
  Fl_Widget_Tracker used(e), cancelled(c), gone(closed);
  closed->do_callback(); // the window manager's close: nothing changes
  EXPECT_FALSE(closed->visible());
  EXPECT_EQ(panel->quarantine_policy_on, 0);
  Fl::do_widget_deletion();
  EXPECT_TRUE(used.deleted() && cancelled.deleted() && gone.deleted()) << "finished: released";
}

TEST_F(Editor, ValueFieldAndSliderKeepInStep) {
  PolicyEvent* e = open(panel->quarantine_button);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->value_sliders[0]->minimum(), 100.0) << "100 at the top";
  e->value_sliders[0]->value(33.3333);
  e->value_sliders[0]->do_callback();
  EXPECT_STREQ(field(e, 0)->value(), "33.3");
  const char* typed[] = {"150", "12.75kg", "much", "nan"};
  const double slid[] = {150.0, 12.75, 0.0, 0.0};
  for (int i = 0; i < 4; ++i) {
    field(e, i + 1)->value(typed[i]);
    field(e, i + 1)->do_callback();
    EXPECT_EQ(e->value_sliders[i + 1]->value(), slid[i]) << typed[i];
    EXPECT_STREQ(field(e, i + 1)->value(), typed[i]) << "the text stays as typed";
  }
  press_in(e, "Use");
  EXPECT_EQ(panel->quarantine_policy[0].value, 33.3333);
  EXPECT_EQ(panel->quarantine_policy[1].value, 150.0);
}
