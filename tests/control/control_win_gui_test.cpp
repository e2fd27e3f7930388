#include <FL/Fl.H>
#include <cstring>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "control/control_win.h"
#include "results/accumulation_store.h"
#include "results/my_chart.h"
#include "sim/my_win.h"

namespace {

struct Panel : ::testing::Test {
  MyWin* arena = new MyWin(400, 400);
  ControlWin* cw = nullptr;
  void SetUp() override {
    reset_accumulation_store();
    control_win = cw = new ControlWin(arena, 800, 700);
    cw->end();
  }
  void TearDown() override {
    delete cw;
    delete arena;
  }
  std::set<Fl_Widget*> active_children() const {
    std::set<Fl_Widget*> on;
    for (int i = 0; i < cw->children(); ++i)
      if (cw->child(i)->active())
        on.insert(cw->child(i));
    return on;
  }
  std::string choose(const char* item) {
    cw->chart_type_menu->value(cw->chart_type_menu->find_index(item));
    cw->chart_type_menu->do_callback();
    return cw->chart_type_menu->label();
  }
  Fl_Boxtype press(int slot) {
    cw->slot_buttons[slot]->do_callback();
    return cw->slot_buttons[slot]->box();
  }
};

// In creation order: member, label, x, y, precision, first text, left, right, tooltip's start.
struct Row {
  InputSlider* ControlWin::*m;
  const char* label;
  int x, y, precision;
  const char* text;
  double left, right;
  const char* tip;
};
const Row kRows[] = {
    {&ControlWin::population_slider, "Initial Population", 150, 50, 0, "50000", 0, 350000, "The i"},
    {&ControlWin::infection_rate_slider, "Infection Rate %", 150, 80, 0, "15", 0, 100, "The e"},
    {&ControlWin::infection_length_slider, "Infection Length", 150, 110, 0, "30", 1, 90, "The n"},
    {&ControlWin::ambulatory_days_slider, "Ambulatory Days", 150, 140, 0, "7", 1, 90, "The n"},
    {&ControlWin::inactivity_slider, "Inactivity %", 150, 170, 0, "10", 0, 100, "How s"},
    {&ControlWin::initially_infected_slider, "Initially Infected", 150, 200, 0, "10", 1, 1000, "H"},
    {&ControlWin::arena_size_slider, "Arena Size", 150, 230, 0, "400", 100, 1080, "The s"},
    {&ControlWin::chart_upper_limit_slider, "Chart Upper Limit", 150, 260, 0, "50000", 0, 350000,
     "The upper boundary of the chart"},
    {&ControlWin::chart_max_values_slider, "Chart Maximum Values", 150, 290, 0, "200", 0, 365,
     "Th"},
    {&ControlWin::quarantine_rate_slider, "Quarantine Rate %", 550, 50, 2, "0.5", 0, 100, "The p"},
    {&ControlWin::speed_slider, "Speed", 550, 80, 3, "0.01", 1.0, 0.001, "The speed at which"},
    {&ControlWin::daily_interactions_slider, "Daily Interactions", 550, 110, 0, "8", 1, 24, "Th"},
    {&ControlWin::immunity_duration_slider, "Immunity Duration", 550, 140, 0, "730", 0, 2000, "H"},
    {&ControlWin::drivers_slider, "Drivers %", 550, 170, 0, "0", 0, 100,
     "Percent of people that "
     "drive to destinations.\n"},
    {&ControlWin::destinations_slider, "Number of destinations", 550, 200, 0, "0", 0, 1000, "Nu"},
    {&ControlWin::death_rate_slider, "Death Rate", 550, 230, 1, "0", 0, 100, "Percentage of"},
};

} // namespace

TEST_F(Panel, SlidersMatchTheirTable) {
  for (const Row& r : kRows) {
    const InputSlider* s = cw->*r.m;
    EXPECT_STREQ(s->input->label(), r.label);
    EXPECT_EQ(std::make_pair(s->input->x(), s->input->y()), std::make_pair(r.x, r.y)) << r.label;
    EXPECT_EQ(s->precision, r.precision) << r.label;
    EXPECT_STREQ(s->input->value(), r.text) << r.label;
    EXPECT_EQ(s->slider->minimum(), r.left) << r.label;
    EXPECT_EQ(s->slider->maximum(), r.right) << r.label;
    EXPECT_EQ(std::strncmp(s->input->tooltip(), r.tip, std::strlen(r.tip)), 0) << r.label;
    EXPECT_STREQ(s->slider->tooltip(), s->input->tooltip()) << r.label;
  }
}

TEST_F(Panel, WidgetsAreCreatedInOrderWithTheirSettings) {
  std::vector<Fl_Widget*> order = {cw->start_button, cw->stop_button, cw->pause_button,
                                   cw->quit_button};
  order.insert(order.end(), cw->slot_buttons, cw->slot_buttons + 4);
  order.push_back(cw->clear_button);
  for (int i = 0; i < 16; ++i) {
    order.insert(order.end(), {(cw->*kRows[i].m)->input, (cw->*kRows[i].m)->slider});
    if (i == 4 || i == 9)
      order.push_back(i == 4 ? cw->lazy_button : cw->quarantine_button);
  }
  order.insert(order.end(), {cw->hide_healthy_button, cw->hide_quarantined_button,
                             cw->hide_recovered_button, cw->hard_edge_button, cw->lockdown_button,
                             cw->chart_type_box, cw->chart_type_menu, arena->graph});
  ASSERT_EQ(cw->children(), static_cast<int>(order.size()));
  for (int i = 0; i < cw->children(); ++i)
    EXPECT_EQ(cw->child(i), order[i]) << i;

  EXPECT_STREQ(cw->quit_button->tooltip(), "Stops the simulation and ends the application.");
  EXPECT_EQ(cw->clear_button->x(), 542);
  EXPECT_EQ(cw->slot_buttons[0]->color(), FL_YELLOW);
  EXPECT_EQ(cw->slot_buttons[3]->box(), FL_ENGRAVED_BOX);
  EXPECT_EQ(cw->quarantine_button->x(), 770);
  EXPECT_STREQ(cw->hide_healthy_button->tooltip(), "Hide the people that are heathy.");
  EXPECT_EQ(cw->lockdown_button->value(), 1);
  EXPECT_EQ(std::make_pair(arena->graph->w(), arena->graph->h()), std::make_pair(780, 300));
  EXPECT_EQ(cw->lazy_policy[9].setpoint_day, 270);
  EXPECT_EQ(cw->quarantine_policy[9].setpoint_day, 90);
}

TEST_F(Panel, LockingLeavesOnlyTheRunControlsAndSpeed) {
  std::set<Fl_Widget*> unlocked = active_children();
  EXPECT_EQ(unlocked.size() + 2, static_cast<size_t>(cw->children())); // all but Stop, Pause
  EXPECT_FALSE(cw->stop_button->active() || cw->pause_button->active());
  cw->LockControls();
  EXPECT_EQ(active_children(), (std::set<Fl_Widget*>{cw->stop_button, cw->pause_button,
                                                     cw->quit_button, cw->speed_slider->input,
                                                     cw->speed_slider->slider, arena->graph}));
  cw->inactivity_slider->deactivate(); // as a schedule in use leaves it
  cw->UnlockControls();
  EXPECT_EQ(active_children(), unlocked);
}

TEST_F(Panel, ChartTypeBuildsLabelAndMask) {
  EXPECT_EQ(choose("New Infections"), "Currently Infected | New");
  EXPECT_EQ(choose("Currently Infected"), "Currently Infected | New | Current");
  EXPECT_EQ(arena->chart_mask, 3);
  EXPECT_EQ(choose("None"), "None");
  EXPECT_EQ(arena->chart_mask, 0);
  EXPECT_EQ(choose("Daily Dead"), "Dead");
  EXPECT_EQ(choose("Currently Quarantined"), "Dead | Quarantined");
  for (int i = 0; i < 40; ++i) // far past the label's 256 bytes
    choose("Currently Quarantined");
  EXPECT_EQ(choose("Currently Immune").size(), 255u);
  EXPECT_EQ(arena->chart_mask, 28);
  cw->show(); // the cut label must also draw
  Fl::check();
}

TEST_F(Panel, SlotButtonsPinAndUnpin) {
  using Slot = std::pair<int, int>; // meta_idx, meta_limit
  EXPECT_EQ(press(2), FL_DOWN_BOX);
  EXPECT_EQ(Slot(meta_idx, meta_limit), Slot(2, 2));
  EXPECT_EQ(press(1), FL_DOWN_BOX); // frees "3" without advancing
  EXPECT_EQ(cw->slot_buttons[2]->box(), FL_ENGRAVED_BOX);
  EXPECT_EQ(Slot(meta_idx, meta_limit), Slot(1, 1));
  EXPECT_EQ(press(1), FL_ENGRAVED_BOX);
  EXPECT_EQ(Slot(meta_idx, meta_limit), Slot(2, -1));
  press(3);
  press(3); // unpinning the last slot wraps round
  EXPECT_EQ(Slot(meta_idx, meta_limit), Slot(0, -1));
}

TEST_F(Panel, ClearDataEmptiesTheStoreAndWriteBackShowsValues) {
  chart_accumulation[1][2][3] = 5.0;
  max_accumulation_cnt = 4;
  meta_idx = 2;
  cw->clear_button->do_callback();
  EXPECT_EQ(chart_accumulation[1][2][3], 0.0);
  EXPECT_EQ(std::make_pair(max_accumulation_cnt, meta_idx), std::make_pair(0, 2));
  cw->show_inactivity(37);
  EXPECT_STREQ(cw->inactivity_slider->input->value(), "37");
  EXPECT_EQ(cw->inactivity_slider->slider->value(), 37.0);
  cw->show_quarantine_rate(8.6);
  EXPECT_STREQ(cw->quarantine_rate_slider->input->value(), "8.6");
}
