// SPDX-License-Identifier: MIT
#include "control/control_win.h"

#include <cstdio>

#include "arena/my_win.h"
#include "arena/run_control.h"
#include "results/accumulation_store.h"
#include "results/my_chart.h"

ControlWin* control_win = nullptr;

namespace {

const char* const kSlotLabels[4] = {"1", "2", "3", "4"};

// In the order of the series, whose bits chart_type_cb sets; "None" clears them.
const char* const kChartItems[] = {"Currently Infected", "New Infections", "Currently Quarantined",
                                   "Currently Immune",   "Daily Dead",     "None"};

Fl_Button* make_button(int x, int y, int w, int h, const char* label, const char* tip) {
  auto* b = new Fl_Button(x, y, w, h, label);
  b->color(FL_WHITE);
  b->labelsize(12);
  if (tip)
    b->tooltip(tip);
  return b;
}

// The setpoint buttons keep the toolkit's label size: their symbol is sized relative to it.
Fl_Button* make_setpoint_button(int x, int y, const char* tip, Fl_Callback* cb, void* data) {
  auto* b = new Fl_Button(x, y, 20, 20, "@-4+");
  b->color(FL_WHITE);
  b->tooltip(tip);
  b->callback(cb, data);
  return b;
}

InputSlider* make_slider(int x, int y, int precision, double value, double left, double right,
                         const char* label, const char* tip) {
  auto* s = new InputSlider(x, y, precision, value, left, right, label);
  s->tooltip(tip);
  return s;
}

// The toggles start on, so by default only the sick and the dead are drawn.
Fl_Light_Button* make_toggle(int x, int y, const char* label, const char* tip) {
  auto* b = new Fl_Light_Button(x, y, 150, 20, label);
  b->color(FL_WHITE);
  b->labelsize(12);
  b->value(1);
  b->tooltip(tip);
  return b;
}

} // namespace

ControlWin::ControlWin(MyWin* arena_window, int w, int h) : Fl_Double_Window(w, h, "Control") {
  lazy_policy_on = 0;
  quarantine_policy_on = 0;
  world = arena_window;
  build_run_row();
  build_left_column();
  build_right_column();
  build_toggles();
  build_chart_type();

  start_button->callback(start_sim_cb, world);
  stop_button->callback(stop_sim_cb, world);
  pause_button->callback(pause_sim_cb, world);
  quit_button->callback(quit_sim_cb, world);

  build_live_chart();
  UnlockControls();
  for (int k = 0; k < kSetpoints; ++k) {
    lazy_policy[k] = Setpoint{30 * k, 50.0};
    quarantine_policy[k] = Setpoint{10 * k, 50.0};
  }
}

ControlWin::~ControlWin() {
  // The widgets belong to the window's group; the records that pair them are ours.
  InputSlider* records[] = {population_slider,        infection_rate_slider,
                            infection_length_slider,  ambulatory_days_slider,
                            inactivity_slider,        initially_infected_slider,
                            arena_size_slider,        daily_interactions_slider,
                            immunity_duration_slider, drivers_slider,
                            destinations_slider,      death_rate_slider,
                            chart_upper_limit_slider, chart_max_values_slider,
                            quarantine_rate_slider,   speed_slider};
  for (InputSlider* s : records)
    delete s;
  // The live chart dies with this window; the arena window, which outlives the panel, must not
  // keep feeding it.
  if (world && world->graph && world->graph->parent() == this)
    world->graph = nullptr;
  if (control_win == this)
    control_win = nullptr;
  if (schedule_panel == this)
    schedule_panel = nullptr;
  if (run_panel == this)
    run_panel = nullptr;
}

void ControlWin::build_run_row() {
  start_button = make_button(10, 10, 100, 20, "Start", "Kicks off the simulation.");
  stop_button = make_button(120, 10, 100, 20, "Stop", "Stops the simulation.");
  pause_button = make_button(230, 10, 100, 20, "Pause", "Pauses the simulation.");
  quit_button =
      make_button(340, 10, 100, 20, "Quit", "Stops the simulation and ends the application.");
  for (int slot = 0; slot < 4; ++slot) {
    Fl_Button* b = make_button(460 + 20 * slot, 10, 20, 20, kSlotLabels[slot], nullptr);
    b->box(FL_ENGRAVED_BOX);
    b->callback(reset_result_cb, this);
    slot_buttons[slot] = b;
  }
  // Slot 0 is the one the first run writes.
  slot_buttons[0]->color(FL_YELLOW);
  clear_button = make_button(542, 10, 100, 20, "Clear Data", "Clears already accumulated data.");
  clear_button->callback(clear_acc_cb, this);
}

// Creation order is also the focus order, so the two columns interleave as listed here.
void ControlWin::build_left_column() {
  population_slider = make_slider(150, 50, 0, 50000, 0, 350000, "Initial Population",
                                  "The initial number of participants.");
  infection_rate_slider =
      make_slider(150, 80, 0, 15, 0, 100, "Infection Rate %",
                  "The ease with which the disease passes from one person to another.");
  infection_length_slider =
      make_slider(150, 110, 0, 30, 1, 90, "Infection Length",
                  "The number of days a sick person can transmit the disease.");
  ambulatory_days_slider =
      make_slider(150, 140, 0, 7, 1, 90, "Ambulatory Days",
                  "The number of days a sick person can socially move around.");
  inactivity_slider =
      make_slider(150, 170, 0, 10, 0, 100, "Inactivity %",
                  "How socially active the society is. Higher numbers mean less activity.");
  lazy_button = make_setpoint_button(370, 170, "Allows setting up to 10 days to act as setpoints.",
                                     lazy_cb, this);
  initially_infected_slider = make_slider(150, 200, 0, 10, 1, 1000, "Initially Infected",
                                          "How many people start the simulation already sick.");
  arena_size_slider = make_slider(150, 230, 0, 400, 100, 1080, "Arena Size",
                                  "The social area of the simulation, squared.");
  chart_upper_limit_slider = make_slider(150, 260, 0, 50000, 0, 350000, "Chart Upper Limit",
                                         "The upper boundary of the chart");
  chart_max_values_slider = make_slider(
      150, 290, 0, 200, 0, 365, "Chart Maximum Values",
      "The maximum number of data values collected by the chart. Set to zero for no limit.");
}

void ControlWin::build_right_column() {
  quarantine_rate_slider =
      make_slider(550, 50, 2, 0.5, 0, 100, "Quarantine Rate %",
                  "The percentage of sick people that will be fixed in place and cured.");
  quarantine_button = make_setpoint_button(
      770, 50, "Allow setting up to 10 days to act as setpoints.", quarantine_cb, this);
  // Slowest at the left: dragging right makes the run faster.
  speed_slider = make_slider(550, 80, 3, 0.01, 1.0, 0.001, "Speed",
                             "The speed at which the simulation runs, specified as fractions "
                             "of second delay between steps.");
  daily_interactions_slider = make_slider(550, 110, 0, 8, 1, 24, "Daily Interactions",
                                          "The number of times a person can move per day.");
  immunity_duration_slider =
      make_slider(550, 140, 0, 730, 0, 2000, "Immunity Duration",
                  "How long a person is immune after recovering or being cured.");
  drivers_slider = make_slider(
      550, 170, 0, 0, 0, 100, "Drivers %",
      "Percent of people that drive to destinations.\nDriving causes them to travel to the "
      "destination and return without exposing anyone.\nThey do expose people at the "
      "destination and at their home.");
  destinations_slider = make_slider(550, 200, 0, 0, 0, 1000, "Number of destinations",
                                    "Number of places people can drive to.");
  death_rate_slider = make_slider(550, 230, 1, 0, 0, 100, "Death Rate",
                                  "Percentage of people that die of the disease.");
}

void ControlWin::build_toggles() {
  hide_healthy_button = make_toggle(480, 260, "Hide Healthy", "Hide the people that are heathy.");
  hide_quarantined_button =
      make_toggle(630, 260, "Hide Quarantined", "Hide the people that are in treatment/quarantine");
  hide_recovered_button =
      make_toggle(480, 280, "Hide Recovered", "Hide the people that have recovered.");
  hard_edge_button =
      make_toggle(630, 280, "Hard Edge", "Cause the side and upper edges to not wrap around\n");
  lockdown_button =
      make_toggle(480, 300, "Lockdown",
                  "A percentage of people are inactive rather than all people being less active.");
}

void ControlWin::build_chart_type() {
  chart_type_box = new Fl_Box(50, 320, 100, 20, "Chart Type");
  chart_type_box->box(FL_NO_BOX);
  chart_type_box->align(FL_ALIGN_INSIDE | FL_ALIGN_RIGHT);
  chart_type_box->labelsize(12);

  // The first label matches the arena window's first chart mask, 1: "Currently Infected".
  chart_type_menu = new Fl_Menu_Button(150, 320, 280, 20, "Currently Infected");
  chart_type_menu->color(FL_WHITE);
  chart_type_menu->labelsize(12);
  for (const char* item : kChartItems)
    chart_type_menu->add(item);
  chart_type_menu->textsize(12);
  chart_type_menu->tooltip("Set which results are to be charted. More than one can be "
                           "selected. Selecting None clears the selection.");
  chart_type_menu->value(0);
  chart_type_menu->callback(chart_type_cb, world);
}

void ControlWin::build_live_chart() {
  auto* chart = new MyChart(10, 350, w() - 20, 300, nullptr);
  chart->box(FL_FLAT_BOX);
  chart->color(FL_WHITE);
  chart->type(0);
  chart->bounds(0.0, 2000.0);
  chart->labelsize(6);
  chart->textsize(6);
  chart->maxsize(200);
  // The panel keeps no pointer of its own: the arena window feeds the chart.
  if (world)
    world->graph = chart;
}

void ControlWin::show_inactivity(int v) {
  char text[32];
  std::snprintf(text, sizeof text, "%d", v);
  inactivity_slider->slider->value(static_cast<double>(v));
  inactivity_slider->input->value(text);
}

void ControlWin::show_quarantine_rate(double v) {
  char text[64];
  std::snprintf(text, sizeof text, "%g", v);
  quarantine_rate_slider->slider->value(v);
  quarantine_rate_slider->input->value(text);
}
