// SPDX-License-Identifier: MIT
#include "control/control_win.h"

#include <cstdio>
#include <cstring>

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

Fl_Light_Button* make_toggle(const ParamRow& row) {
  const PanelPlace& at = row.place;
  auto* b = new Fl_Light_Button(at.x, at.y, at.w, at.h, row.label);
  b->color(FL_WHITE);
  b->labelsize(12);
  b->value(row.initial != 0.0);
  b->tooltip(row.tooltip);
  return b;
}

InputSlider* make_field(const ParamRow& row) {
  const double left = row.reversed ? row.high : row.low;
  const double right = row.reversed ? row.low : row.high;
  auto* s =
      new InputSlider(row.place.x, row.place.y, row.precision, row.initial, left, right, row.label);
  s->tooltip(row.tooltip);
  return s;
}

// The fields that other code reaches through a member of its own.
const struct {
  const char* name;
  InputSlider* ControlWin::*member;
} kNamedFields[] = {
    {"population", &ControlWin::population_slider},
    {"infection-length", &ControlWin::infection_length_slider},
    {"inactivity", &ControlWin::inactivity_slider},
    {"initially-infected", &ControlWin::initially_infected_slider},
    {"arena-size", &ControlWin::arena_size_slider},
    {"daily-interactions", &ControlWin::daily_interactions_slider},
    {"quarantine-rate", &ControlWin::quarantine_rate_slider},
    {"vaccination", &ControlWin::vaccination_slider},
    {"speed", &ControlWin::speed_slider},
};

// What the toolkit side adds to a schedule's row: its editor's callback and its button.
const struct {
  const char* schedule;
  Fl_Callback* callback;
  Fl_Button* ControlWin::*button;
} kSetpointButtons[] = {
    {"inactivity-schedule", lazy_cb, &ControlWin::lazy_button},
    {"quarantine-schedule", quarantine_cb, &ControlWin::quarantine_button},
    {"vaccination-schedule", vaccination_cb, &ControlWin::vaccination_button},
};

// A real value in force, as the schedules write it back: "%g".
void show_real(InputSlider* field, double v) {
  char text[64];
  std::snprintf(text, sizeof text, "%g", v);
  field->show_in_force(v, text);
}

} // namespace

ControlWin::ControlWin(MyWin* arena_window, int w, int h) : Fl_Double_Window(w, h, "Control") {
  for (const ScheduleRow& s : schedule_rows())
    this->*s.in_use = 0;
  world = arena_window;
  build_run_row();
  build_fields();
  name_fields();
  // The free slot beside "Lockdown".
  ensemble_button = make_button(630, 330, 150, 20, "Ensemble\u2026",
                                "Runs the setup many times over and shows the spread of its runs.");

  start_button->callback(start_sim_cb, world);
  stop_button->callback(stop_sim_cb, world);
  pause_button->callback(pause_sim_cb, world);
  quit_button->callback(quit_sim_cb, world);

  build_live_chart();
  UnlockControls();
  for (const ScheduleRow& s : schedule_rows())
    this->*s.policy = initial_schedule(s);
}

ControlWin::~ControlWin() {
  // The widgets belong to the window's group; the records that pair them are ours.
  for (PanelField& f : fields)
    delete f.slider;
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
  // The rest of the row, up to the live chart's right edge, holds two buttons 2 apart as "Clear
  // Data" stands 2 from "4": 148 pixels, too few for two labels of size 12, so theirs is 10.
  open_setup_button = make_button(644, 10, 72, 20, "Open Setup\u2026",
                                  "Fills the panel from a setup file (Ctrl+O).");
  open_setup_button->labelsize(10);
  open_setup_button->shortcut(FL_CTRL + 'o');
  open_setup_button->callback(open_setup_cb, this);
  save_setup_button = make_button(718, 10, 72, 20, "Save Setup\u2026",
                                  "Saves the panel's values to a setup file (Ctrl+S).");
  save_setup_button->labelsize(10);
  save_setup_button->shortcut(FL_CTRL + 's');
  save_setup_button->callback(save_setup_cb, this);
}

// Creation order is also the focus order: the table's order, with each setpoint button right
// after the field its schedule drives.
void ControlWin::build_fields() {
  for (const ParamRow& row : param_rows()) {
    if (row.kind == ParamKind::Choice)
      build_chart_type(row);
    else
      build_field(row);
    build_setpoint_button(row);
  }
}

void ControlWin::build_field(const ParamRow& row) {
  if (row.kind == ParamKind::Toggle)
    fields.push_back({&row, nullptr, make_toggle(row)});
  else
    fields.push_back({&row, make_field(row), nullptr});
}

// The setpoint buttons keep the toolkit's label size: their symbol is sized relative to it.
void ControlWin::build_setpoint_button(const ParamRow& driven) {
  for (const auto& binding : kSetpointButtons) {
    const ScheduleRow* s = find_schedule(binding.schedule);
    if (!s || std::strcmp(s->drives, driven.name) != 0)
      continue;
    const PanelPlace& at = s->place;
    auto* b = new Fl_Button(at.x, at.y, at.w, at.h, "@-4+");
    b->color(FL_WHITE);
    b->tooltip(s->tooltip);
    b->callback(binding.callback, this);
    this->*binding.button = b;
  }
}

void ControlWin::name_fields() {
  for (const auto& named : kNamedFields)
    this->*named.member = field(named.name);
}

InputSlider* ControlWin::field(const char* name) const {
  for (const PanelField& f : fields)
    if (f.slider && std::strcmp(f.row->name, name) == 0)
      return f.slider;
  return nullptr;
}

Fl_Button* ControlWin::schedule_button(const char* schedule) const {
  for (const auto& binding : kSetpointButtons)
    if (std::strcmp(binding.schedule, schedule) == 0)
      return this->*binding.button;
  return nullptr;
}

Fl_Light_Button* ControlWin::toggle(const char* name) const {
  for (const PanelField& f : fields)
    if (f.toggle && std::strcmp(f.row->name, name) == 0)
      return f.toggle;
  return nullptr;
}

// The caption stands to the left of the selector.
void ControlWin::build_chart_type(const ParamRow& row) {
  const PanelPlace& at = row.place;
  chart_type_box = new Fl_Box(at.x - 100, at.y, 100, at.h, row.label);
  chart_type_box->box(FL_NO_BOX);
  chart_type_box->align(FL_ALIGN_INSIDE | FL_ALIGN_RIGHT);
  chart_type_box->labelsize(12);

  // The first label matches the arena window's first chart mask, 1: "Currently Infected".
  chart_type_menu = new Fl_Menu_Button(at.x, at.y, at.w, at.h, kChartItems[0]);
  chart_type_menu->color(FL_WHITE);
  chart_type_menu->labelsize(12);
  for (const char* item : kChartItems)
    chart_type_menu->add(item);
  chart_type_menu->textsize(12);
  chart_type_menu->tooltip(row.tooltip);
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
  inactivity_slider->show_in_force(static_cast<double>(v), text);
}

void ControlWin::show_quarantine_rate(double v) {
  show_real(quarantine_rate_slider, v);
}

void ControlWin::show_vaccination_rate(double v) {
  show_real(vaccination_slider, v);
}
