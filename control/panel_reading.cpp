// SPDX-License-Identifier: MIT
#include "control/control_win.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

int read_int(InputSlider* s) {
  commit_pending(s);
  return std::atoi(s->input->value());
}

double read_real(InputSlider* s) {
  commit_pending(s);
  return std::atof(s->input->value());
}

double speed_in_range(double v) {
  static const ParamRow& speed = *find_param("speed");
  return std::isnan(v) ? speed.low : std::clamp(v, speed.low, speed.high);
}

// Whole rows with atoi, real ones with atof, toggles as 0 or 1.
double read_field(const PanelField& f) {
  if (f.toggle)
    return f.toggle->value() ? 1 : 0;
  return f.row->kind == ParamKind::Real ? read_real(f.slider) : read_int(f.slider);
}

// A rate in force that a schedule shows is no value of the panel's: the field's own text stands
// for it, read as a run reads the field.
double read_own_value(const PanelField& f) {
  if (!f.slider || !f.slider->shows_in_force())
    return read_field(f);
  const char* own = f.slider->own_text.c_str();
  return f.row->kind == ParamKind::Real ? std::atof(own) : std::atoi(own);
}

} // namespace

PanelReading ControlWin::read_panel() {
  return reading(read_field);
}

PanelReading ControlWin::own_values() {
  return reading(read_own_value);
}

PanelReading ControlWin::reading(double (*read)(const PanelField&)) {
  PanelReading r;
  for (const PanelField& f : fields)
    store_param(*f.row, read(f), &r.params);
  r.params.speed = speed_in_range(r.params.speed);
  // The live chart's bounds are the panel's own: a run does not take them.
  r.chart_upper_limit = read_int(field("chart-upper-limit"));
  r.chart_max_values = read_int(field("chart-max-values"));
  return r;
}

double ControlWin::read_speed() const {
  return speed_in_range(committed_value(speed_slider));
}
