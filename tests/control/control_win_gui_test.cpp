#include <FL/Fl.H>
#include <FL/Fl_Light_Button.H>
#include <cstring>
#include <set>
#include <sstream>
#include <string>
#include <tuple>

#include "results/accumulation_store.h"
#include "results/my_chart.h"
#include "tests/support/gui_run_fixture.h"

using Panel = GuiRunTest;
using C = ControlWin;

namespace {

// Every parameter: its first text, the slider's ends (left, right) and the text a commit makes of
// it where the precision shows.
struct Row {
  const char *label, *text;
  double left, right;
  const char* committed = nullptr;
} const kRows[] = {{"Initial Population", "50000", 0, 350000},
                   {"Infection Rate %", "15", 0, 100},
                   {"Infection Length", "30", 1, 90},
                   {"Ambulatory Days", "7", 1, 90},
                   {"Inactivity %", "10", 0, 100},
                   {"Initially Infected", "10", 1, 1000},
                   {"Arena Size", "400", 100, 1080},
                   {"Chart Upper Limit", "50000", 0, 350000},
                   {"Chart Maximum Values", "200", 0, 365},
                   {"Quarantine Rate %", "0.5", 0, 100, "0.50"},
                   {"Speed", "0.01", 1.0, 0.001, "0.010"},
                   {"Daily Interactions", "8", 1, 24},
                   {"Immunity Duration", "730", 0, 2000},
                   {"Drivers %", "0", 0, 100},
                   {"Number of destinations", "0", 0, 1000},
                   {"Death Rate", "0", 0, 100, "0.0"}};

Fl_Widget* labelled(C* c, const char* label) {
  for (int i = 0; i < c->children(); ++i)
    if (c->child(i)->label() && std::strcmp(c->child(i)->label(), label) == 0)
      return c->child(i);
  return nullptr;
}

std::set<Fl_Widget*> active_children(const C* c) {
  std::set<Fl_Widget*> on;
  for (int i = 0; i < c->children(); ++i)
    if (c->child(i)->active())
      on.insert(c->child(i));
  return on;
}

} // namespace

TEST_F(Panel, ControlsAsSpecified) {
  std::istringstream plain("Start|Stop|Pause|Quit|Clear Data|Hide Healthy|Hide Quarantined|Hide "
                           "Recovered|Hard Edge|Lockdown|Currently Infected");
  for (std::string label; std::getline(plain, label, '|');) {
    Fl_Widget* w = labelled(panel, label.c_str());
    ASSERT_NE(w, nullptr) << label;
    const auto* toggle = dynamic_cast<const Fl_Light_Button*>(w);
    EXPECT_TRUE(w->tooltip() && (!toggle || toggle->value() == 1)) << label; // toggles start on
  }
  for (const Row& r : kRows) {
    auto* input = static_cast<Fl_Input*>(labelled(panel, r.label)); // its slider follows it
    ASSERT_NE(input, nullptr) << r.label;
    const auto* slider = static_cast<const Fl_Slider*>(panel->child(panel->find(input) + 1));
    EXPECT_EQ(std::make_tuple(std::string(input->value()), slider->minimum(), slider->maximum()),
              std::make_tuple(r.text, r.left, r.right));
    input->do_callback();
    EXPECT_STREQ(input->value(), r.committed ? r.committed : r.text);
  }
}

// What a schedule puts in force is shown in its control: the text and the slider agree.
TEST_F(Panel, SchedulesShowTheValueInForce) {
  panel->show_inactivity(23);
  panel->show_quarantine_rate(1.4);
  EXPECT_EQ(std::make_tuple(std::string(panel->inactivity_slider->input->value()),
                            panel->inactivity_slider->slider->value(),
                            std::string(panel->quarantine_rate_slider->input->value()),
                            panel->quarantine_rate_slider->slider->value()),
            std::make_tuple("23", 23.0, "1.4", 1.4));
}

TEST_F(Panel, LockingLeavesOnlyTheRunControlsAndSpeed) {
  std::set<Fl_Widget*> unlocked = active_children(panel);
  EXPECT_EQ(unlocked.size() + 2, static_cast<size_t>(panel->children())); // all but Stop, Pause
  EXPECT_FALSE(panel->stop_button->active() || panel->pause_button->active());
  panel->LockControls();
  EXPECT_EQ(active_children(panel),
            (std::set<Fl_Widget*>{panel->stop_button, panel->pause_button, panel->quit_button,
                                  arena->graph, panel->speed_slider->input,
                                  panel->speed_slider->slider}));
  panel->inactivity_slider->deactivate(); // as a schedule in use leaves it
  panel->UnlockControls();
  EXPECT_EQ(active_children(panel), unlocked);
}

TEST_F(Panel, ChartTypeBuildsLabelAndMask) {
  auto choose = [&](const char* item) {
    panel->chart_type_menu->value(panel->chart_type_menu->find_index(item));
    panel->chart_type_menu->do_callback();
    return std::string(panel->chart_type_menu->label());
  };
  EXPECT_EQ(choose("New Infections"), "Currently Infected | New");
  EXPECT_EQ(choose("Currently Infected"), "Currently Infected | New | Current");
  EXPECT_EQ(arena->chart_mask, 3);
  EXPECT_EQ(choose("None"), "None");
  EXPECT_EQ(arena->chart_mask, 0);
  EXPECT_EQ(choose("Daily Dead"), "Dead");
  for (int i = 0; i < 40; ++i) // far past the label's 256 bytes
    choose("Currently Quarantined");
  EXPECT_EQ(choose("Currently Immune").size(), 255u);
  EXPECT_EQ(arena->chart_mask, 28);
  Fl::check(); // the cut label must also draw
}

TEST_F(Panel, SlotButtonsPinAndUnpinAndClearDataEmptiesTheStore) {
  auto press_slot = [&](int slot) {
    panel->slot_buttons[slot]->do_callback();
    return std::make_tuple(panel->slot_buttons[slot]->box(), meta_idx, meta_limit);
  };
  EXPECT_EQ(press_slot(2), std::make_tuple(FL_DOWN_BOX, 2, 2));
  EXPECT_EQ(press_slot(1), std::make_tuple(FL_DOWN_BOX, 1, 1)); // frees "3" without advancing
  EXPECT_EQ(panel->slot_buttons[2]->box(), FL_ENGRAVED_BOX);
  EXPECT_EQ(press_slot(1), std::make_tuple(FL_ENGRAVED_BOX, 2, -1));
  press_slot(3);
  EXPECT_EQ(press_slot(3), std::make_tuple(FL_ENGRAVED_BOX, 0, -1)); // unpinning 3 wraps round
  chart_accumulation[1][2][3] = 5.0;
  max_accumulation_cnt = 4;
  panel->clear_button->do_callback();
  EXPECT_EQ(std::make_tuple(chart_accumulation[1][2][3], max_accumulation_cnt, meta_idx),
            std::make_tuple(0.0, 0, 0));
}
