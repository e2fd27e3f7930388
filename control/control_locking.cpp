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
  for (const PanelField& f : c->fields) {
    if (f.toggle)
      set_active(f.toggle, active);
    else if (f.slider != c->speed_slider)
      set_active(f.slider, active);
  }
  for (const ScheduleRow& s : schedule_rows())
    set_active(c->schedule_button(s.name), active);
  Fl_Widget* others[] = {c->chart_type_menu, c->chart_type_box,
                         // The store may only change between runs.
                         c->clear_button,
                         // A setup opened mid-run would change the panel under it.
                         c->open_setup_button};
  for (Fl_Widget* w : others)
    set_active(w, active);
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
