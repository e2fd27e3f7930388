// SPDX-License-Identifier: MIT
// "Open Setup…" and "Save Setup…": the panel as a setup file and back (see setup/setup_file.h).
#include <FL/Fl.H>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "arena/my_win.h"
#include "chart/save_alert.h"
#include "control/control_win.h"
#include "control/policy_event.h"
#include "results/my_chart.h"
#include "setup/setup_file.h"
#include "text/quoted_text.h"

namespace {

// The chart series in the order of their bits, as the selector's label names them.
const char* const kSeriesShown[] = {"Current", "New", "Quarantined", "Immune", "Dead"};

// The selector's label for a chart mask: the first label for the first mask, "None" for none.
std::string chart_type_label(int mask) {
  if (mask == 1)
    return "Currently Infected";
  std::string label;
  for (int bit = 0; bit < 5; ++bit)
    if (mask & (1 << bit))
      label += (label.empty() ? "" : " | ") + std::string(kSeriesShown[bit]);
  return label.empty() ? "None" : label;
}

double display_value(const Setup& s, const ParamRow& row) {
  const auto it = s.display.find(row.name);
  return it != s.display.end() ? it->second : row.initial;
}

// The text a field shows for a value: whole rows as integers, real ones as the shortest text
// that reads back exactly, which a run then takes as the batch runner takes the file's value.
void show_field(InputSlider* field, const ParamRow& row, double v) {
  const std::string text =
      row.kind == ParamKind::Real ? real_text(v) : std::to_string(std::lround(std::trunc(v)));
  field->show(v, text);
}

// A setpoint editor open on one of the panel's schedules would write its old columns back on
// "Use": it goes, since its schedule is now the file's.
void close_setpoint_editors() {
  std::vector<Fl_Window*> editors; // hiding one takes it out of the list being walked
  for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
    if (dynamic_cast<PolicyEvent*>(w))
      editors.push_back(w);
  for (Fl_Window* w : editors) {
    w->hide();
    Fl::delete_widget(w);
  }
}

bool same_schedule(const PolicyArray& a, const PolicyArray& b) {
  for (int i = 0; i < kSetpoints; ++i)
    if (a[i].setpoint_day != b[i].setpoint_day || a[i].value != b[i].value)
      return false;
  return true;
}

// What a run does depends on these alone; the display settings only show it.
bool same_run(const Setup& a, const Setup& b) {
  for (const ParamRow& row : param_rows())
    if (row.role == ParamRole::RunParameter &&
        param_value(row, a.params) != param_value(row, b.params))
      return false;
  for (const ScheduleRow& row : schedule_rows()) {
    const bool on = a.schedules.*row.in_use != 0;
    if (on != (b.schedules.*row.in_use != 0) ||
        (on && !same_schedule(a.schedules.*row.policy, b.schedules.*row.policy)))
      return false;
  }
  return true;
}

} // namespace

// An edit of a run value or a schedule makes another setup, which the seed does not reproduce;
// undoing the edit brings the seed back.
bool ControlWin::holds_opened_setup(const Setup& s) const {
  return opened_.has_seed && same_run(s, opened_);
}

Setup ControlWin::current_setup() {
  Setup s = initial_setup();
  const PanelReading r = own_values(); // commits whatever text is still being typed
  s.params = r.params;
  for (const PanelField& f : fields) {
    const ParamRow& row = *f.row;
    if (row.role != ParamRole::DisplaySetting)
      continue;
    if (f.toggle)
      s.display[row.name] = f.toggle->value() ? 1.0 : 0.0;
    else if (row.whole || row.real)
      s.display[row.name] = param_value(row, r.params);
    else
      s.display[row.name] = std::atoi(f.slider->input->value());
  }
  if (world)
    s.display["chart-type"] = world->chart_mask;
  for (const ScheduleRow& row : schedule_rows()) {
    s.schedules.*row.in_use = this->*row.in_use;
    s.schedules.*row.policy = this->*row.policy;
  }
  // The run's seed stays the opened setup's after its Start, so that the file saved from a
  // seeded run reproduces it.
  if (holds_opened_setup(s)) {
    s.has_seed = true;
    s.seed = opened_.seed;
  }
  return s;
}

void ControlWin::show_setup(const Setup& s) {
  for (PanelField& f : fields) {
    const ParamRow& row = *f.row;
    const double v =
        row.role == ParamRole::DisplaySetting ? display_value(s, row) : param_value(row, s.params);
    if (f.toggle)
      f.toggle->value(v != 0.0);
    else
      show_field(f.slider, row, v);
  }
  const int mask = static_cast<int>(display_value(s, *find_param("chart-type")));
  if (world)
    world->chart_mask = mask;
  chart_type_menu->copy_label(chart_type_label(mask).c_str());
  close_setpoint_editors();
  for (const ScheduleRow& row : schedule_rows()) {
    const bool on = s.schedules.*row.in_use != 0;
    this->*row.in_use = on ? 1 : 0;
    this->*row.policy = on ? s.schedules.*row.policy : initial_schedule(row);
    // As the editor's "Use" and "Cancel" leave them: the schedule drives its field, or not.
    schedule_button(row.name)->label(on ? "@-4<" : "@-4+");
    InputSlider* driven = field(row.drives);
    if (on)
      driven->deactivate();
    else
      driven->activate();
  }
  opened_ = s;
  seed_unused_ = true;
  redraw();
}

// What the fields show is what this run reads: a rate that a schedule left in a field is the
// field's own value from now on, as the run's starting value.
bool ControlWin::begin_run(uint32_t* seed) {
  const bool seeded = seed_unused_ && holds_opened_setup(current_setup());
  seed_unused_ = false;
  for (PanelField& f : fields)
    if (f.slider)
      f.slider->own_shown_value();
  if (seeded)
    *seed = opened_.seed;
  return seeded;
}

bool open_setup_file(ControlWin* panel, const std::string& path, std::string* error) {
  Setup setup;
  if (!read_setup(path, &setup, error))
    return false;
  panel->show_setup(setup);
  return true;
}

void open_setup_cb(Fl_Widget*, void* data) {
  if (!data)
    return;
  auto* panel = static_cast<ControlWin*>(data);
  Fl_Widget_Tracker alive(panel);
  const char* name = chart_file_chooser("Open a setup", "*.toml");
  if (!name || alive.deleted())
    return;
  const std::string path = name;
  // The chooser ran its own event loop: a run may have begun meanwhile.
  if (!panel->start_button->active()) {
    alert_later("The setup " + quoted(path, kWholePath) + " was not opened: a run is going.");
    return;
  }
  std::string error;
  if (!open_setup_file(panel, path, &error))
    alert_later("The setup could not be opened.\n" + error);
}

// The setup is taken when the button is pressed, so the file holds what the panel showed then.
void save_setup_cb(Fl_Widget*, void* data) {
  if (!data)
    return;
  const Setup setup = static_cast<ControlWin*>(data)->current_setup();
  const char* name = chart_file_chooser("Save the setup", "*.toml");
  if (!name)
    return;
  const std::string path = name;
  std::string reason;
  if (!write_setup(path, setup, &reason))
    alert_later(failed_save_text("The setup could not be saved to " + path, reason));
}
