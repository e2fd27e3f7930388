// SPDX-License-Identifier: MIT
#include "tests/support/gui_run_fixture.h"

#include <sstream>

#include "control/policy_event.h"

// The value field is reachable only as its slider's user data.
static Fl_Input* field(PolicyEvent* e, int i) {
  return static_cast<Fl_Input*>(e->value_sliders[i]->user_data());
}

using Editor = GuiRunTest;

TEST_F(Editor, DaysOutOfOrderMarkedUseStoresSlidersCancelHandsBackEvenWhileLocked) {
  panel->lazy_button->do_callback(); // the editor it shows is the newest window
  auto* e = dynamic_cast<PolicyEvent*>(Fl::first_window()->top_window());
  ASSERT_NE(e, nullptr);
  e->day_inputs[2]->value("30");              // out of order: marked, and nothing stored
  e->child(e->children() - 2)->do_callback(); // "Use"; "Cancel" comes after it
  EXPECT_TRUE(e->day_inputs[2]->color() == FL_YELLOW && panel->lazy_policy_on == 0);
  e->day_inputs[2]->value("31x");
  e->value_sliders[2]->value(33.3333);
  e->value_sliders[2]->do_callback();
  EXPECT_STREQ(field(e, 2)->value(), "33.3");
  for (auto [i, text] : {std::pair{3, "150"}, {4, "nan"}}) { // 150 lies beyond the slider, kept
    field(e, i)->value(text);
    field(e, i)->do_callback();
  }
  field(e, 5)->value("99");                   // not committed: the slider's value is what is stored
  e->child(e->children() - 2)->do_callback(); // "Use"
  const PolicyArray& p = panel->lazy_policy;  // "nan" leaves its slider at 0
  EXPECT_EQ(std::make_tuple(p[2].setpoint_day, p[2].value, p[3].value, p[4].value, p[5].value,
                            panel->lazy_policy_on, std::string(panel->lazy_button->label()),
                            panel->inactivity_slider->input->active()),
            std::make_tuple(31, 33.3333, 150.0, 0.0, 50.0, 1, "@-4<", 0u));

  panel->LockControls();
  panel->lazy_button->do_callback();
  auto* c = dynamic_cast<PolicyEvent*>(Fl::first_window()->top_window());
  ASSERT_NE(c, nullptr);
  // The first day out of order is marked; not a number is day 0, a huge day saturates.
  for (auto [days, marked] : {std::pair{"0 30 60 90", -1},
                              {"0 30 -1 10", -1},
                              {"0 30 30", 2},
                              {"-5", 0},
                              {"-1 0", -1},
                              {"3 abc", 1},
                              {"abc 1", -1},
                              {"5 4294967296", -1}}) {
    std::istringstream in(days);
    for (int i = 0; i < kSetpoints; ++i) {
      std::string d;
      c->day_inputs[i]->value(in >> d ? d.c_str() : "-1");
      c->day_inputs[i]->color(FL_YELLOW); // stale marks, which the walk must clear
    }
    c->day_inputs[0]->do_callback();
    for (int i = 0; i <= (marked < 0 ? kSetpoints - 1 : marked); ++i)
      EXPECT_EQ(c->day_inputs[i]->color(), i == marked ? FL_YELLOW : FL_WHITE) << days << i;
  }
  c->value_sliders[0]->value(77.0);
  c->child(c->children() - 1)->do_callback(); // "Cancel"
  EXPECT_EQ(std::make_tuple(p[0].value, panel->lazy_policy_on,
                            std::string(panel->lazy_button->label()),
                            panel->inactivity_slider->input->active()),
            std::make_tuple(50.0, 0, "@-4+", 1u)); // active although locked
  Fl_Widget_Tracker used(e), cancelled(c);
  Fl::do_widget_deletion();
  EXPECT_TRUE(used.deleted() && cancelled.deleted()) << "finished editors are released";
}

// The vaccination rate's editor: its own title and first schedule; "Use" hands the field over.
TEST_F(Editor, VaccinationScheduleHasItsOwnEditor) {
  panel->vaccination_button->do_callback();
  auto* e = dynamic_cast<PolicyEvent*>(Fl::first_window()->top_window());
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(std::make_tuple(std::string(e->label()), std::string(e->day_inputs[9]->value()),
                            e->value_sliders[9]->value()),
            std::make_tuple("Vaccination", "90", 1.0));
  e->value_sliders[0]->value(2.5);
  e->child(e->children() - 2)->do_callback(); // "Use"
  EXPECT_EQ(std::make_tuple(panel->vaccination_policy[0].value, panel->vaccination_policy_on,
                            std::string(panel->vaccination_button->label()),
                            panel->vaccination_slider->input->active(), panel->lazy_policy_on),
            std::make_tuple(2.5, 1, "@-4<", 0u, 0));
}
