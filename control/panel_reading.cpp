// SPDX-License-Identifier: MIT
#include "control/control_win.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr double kFastest = 0.001;
constexpr double kSlowest = 1.0;

int read_int(InputSlider* s) {
  commit_pending(s);
  return std::atoi(s->input->value());
}

double read_real(InputSlider* s) {
  commit_pending(s);
  return std::atof(s->input->value());
}

double speed_in_range(double v) {
  return std::isnan(v) ? kFastest : std::clamp(v, kFastest, kSlowest);
}

} // namespace

PanelReading ControlWin::read_panel() {
  ControlWin& c = *this;
  PanelReading r;
  RunParameters& p = r.params;
  p.arena_size = read_int(c.arena_size_slider);
  r.chart_upper_limit = read_int(c.chart_upper_limit_slider);
  r.chart_max_values = read_int(c.chart_max_values_slider);
  p.initially_infected = read_int(c.initially_infected_slider);
  p.population = read_int(c.population_slider);
  p.daily_interactions = read_int(c.daily_interactions_slider);
  p.immunity_duration = read_int(c.immunity_duration_slider);
  p.drivers_pct = read_int(c.drivers_slider);
  p.destination_count = read_int(c.destinations_slider);
  p.death_rate = read_int(c.death_rate_slider); // whole percent: the decimal shown is dropped
  p.infection_length = read_int(c.infection_length_slider);
  p.ambulatory_days = read_int(c.ambulatory_days_slider);
  p.inactivity = read_int(c.inactivity_slider);
  p.infection_rate = read_int(c.infection_rate_slider);
  p.quarantine_rate = read_real(c.quarantine_rate_slider);
  p.speed = speed_in_range(read_real(c.speed_slider));
  p.hide_healthy = c.hide_healthy_button->value() ? 1 : 0;
  p.hide_quarantined = c.hide_quarantined_button->value() ? 1 : 0;
  p.hide_recovered = c.hide_recovered_button->value() ? 1 : 0;
  p.hard_edge = c.hard_edge_button->value() ? 1 : 0;
  p.lockdown = c.lockdown_button->value() ? 1 : 0;
  return r;
}

double ControlWin::read_speed() const {
  return speed_in_range(committed_value(speed_slider));
}
