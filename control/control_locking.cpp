// SPDX-License-Identifier: MIT
#include "control/control_win.h"

namespace {

void set_active(Fl_Widget* w, bool active) {
  if (active)
    w->activate();
  else
    w->deactivate();
}

void set_active(InputSlider* s, bool active) {
  if (active)
    s->activate();
  else
    s->deactivate();
}

// Everything a running run would be disturbed by. "Quit" and "Speed" are never touched: the user
// may quit or change the pace mid-run, since the timer re-reads "Speed" at every tick.
void set_parameters_active(ControlWin* c, bool active) {
  InputSlider* first[] = {c->population_slider, c->infection_rate_slider,
                          c->infection_length_slider, c->ambulatory_days_slider,
                          c->inactivity_slider};
  for (InputSlider* s : first)
    set_active(s, active);
  set_active(c->lazy_button, active);
  InputSlider* second[] = {
      c->initially_infected_slider, c->arena_size_slider,        c->daily_interactions_slider,
      c->immunity_duration_slider,  c->drivers_slider,           c->destinations_slider,
      c->death_rate_slider,         c->chart_upper_limit_slider, c->chart_max_values_slider,
      c->quarantine_rate_slider};
  for (InputSlider* s : second)
    set_active(s, active);
  set_active(c->quarantine_button, active);
  Fl_Widget* display[] = {c->hide_healthy_button,   c->hide_quarantined_button,
                          c->hide_recovered_button, c->hard_edge_button,
                          c->lockdown_button,       c->chart_type_menu,
                          c->chart_type_box};
  for (Fl_Widget* w : display)
    set_active(w, active);
  // The store may only change between runs.
  set_active(c->clear_button, active);
  for (Fl_Button* b : c->slot_buttons)
    set_active(b, active);
}

} // namespace

void ControlWin::LockControls() {
  start_button->deactivate();
  stop_button->activate();
  pause_button->activate();
  set_parameters_active(this, false);
}

// Ignores the schedule flags on purpose: a control driven by its schedule comes back active,
// and the flag alone still decides which value the next run follows.
void ControlWin::UnlockControls() {
  start_button->activate();
  stop_button->deactivate();
  pause_button->deactivate();
  set_parameters_active(this, true);
}

void ControlWin::show_pause_label() {
  if (pause_button)
    pause_button->label("Pause");
}

void ControlWin::show_current_slot(int slot) {
  for (int k = 0; k < 4; ++k) {
    slot_buttons[k]->color(k == slot ? FL_YELLOW : FL_WHITE);
    slot_buttons[k]->redraw();
  }
}
