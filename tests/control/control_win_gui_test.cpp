#include <FL/Fl.H>
#include <cstring>
#include <set>
#include <string>
#include <tuple>

#include "results/accumulation_store.h"
#include "results/my_chart.h"
#include "tests/support/gui_run_fixture.h"

using Panel = GuiRunTest;
using C = ControlWin;

namespace {

struct Row {
  InputSlider* C::*m;
  const char *label, *text, *tip; // the tooltip's start
  int x, y, precision;
  double left, right;
} const kRows[] = {
    {&C::population_slider, "Initial Population", "50000", "The i", 150, 50, 0, 0, 350000},
    {&C::infection_rate_slider, "Infection Rate %", "15", "The e", 150, 80, 0, 0, 100},
    {&C::infection_length_slider, "Infection Length", "30", "The n", 150, 110, 0, 1, 90},
    {&C::ambulatory_days_slider, "Ambulatory Days", "7", "The n", 150, 140, 0, 1, 90},
    {&C::inactivity_slider, "Inactivity %", "10", "How s", 150, 170, 0, 0, 100},
    {&C::initially_infected_slider, "Initially Infected", "10", "H", 150, 200, 0, 1, 1000},
    {&C::arena_size_slider, "Arena Size", "400", "The s", 150, 230, 0, 100, 1080},
    {&C::chart_upper_limit_slider, "Chart Upper Limit", "50000", "The u", 150, 260, 0, 0, 350000},
    {&C::chart_max_values_slider, "Chart Maximum Values", "200", "T", 150, 290, 0, 0, 365},
    {&C::quarantine_rate_slider, "Quarantine Rate %", "0.5", "The p", 550, 50, 2, 0, 100},
    {&C::speed_slider, "Speed", "0.01", "The speed at which", 550, 80, 3, 1.0, 0.001},
    {&C::daily_interactions_slider, "Daily Interactions", "8", "Th", 550, 110, 0, 1, 24},
    {&C::immunity_duration_slider, "Immunity Duration", "730", "H", 550, 140, 0, 0, 2000},
    {&C::drivers_slider, "Drivers %", "0", "Percent of people", 550, 170, 0, 0, 100},
    {&C::destinations_slider, "Number of destinations", "0", "Nu", 550, 200, 0, 0, 1000},
    {&C::death_rate_slider, "Death Rate", "0", "Percentage of", 550, 230, 1, 0, 100},
};

std::set<Fl_Widget*> active_children(const C* c) {
  std::set<Fl_Widget*> on;
  for (int i = 0; i < c->children(); ++i)
    if (c->child(i)->active())
      on.insert(c->child(i));
  return on;
}

} // namespace

TEST_F(Panel, WidgetsMatchTheirTable) {
  for (const Row& r : kRows) {
    const InputSlider* s = panel->*r.m;
    EXPECT_EQ(std::make_tuple(std::string(s->input->label()), std::string(s->input->value()),
                              s->input->x(), s->input->y(), s->precision, s->slider->minimum(),
                              s->slider->maximum()),
              std::make_tuple(r.label, r.text, r.x, r.y, r.precision, r.left, r.right));
    EXPECT_EQ(std::strncmp(s->input->tooltip(), r.tip, std::strlen(r.tip)), 0) << r.label;
    EXPECT_STREQ(s->slider->tooltip(), s->input->tooltip()) << r.label;
  }
  EXPECT_STREQ(panel->hide_healthy_button->tooltip(), "Hide the people that are heathy.");
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
