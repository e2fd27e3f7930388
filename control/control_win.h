// SPDX-License-Identifier: MIT
#pragma once
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Light_Button.H>
#include <FL/Fl_Menu_Button.H>

#include "arena/run_panel.h"
#include "control/input_slider.h"
#include "sim/schedules.h"

class MyWin;

// The control panel "Control". Its members are read and written directly by the schedules and
// the setpoint editors; run control reaches it as a RunPanel.
class ControlWin : public Fl_Double_Window, public SchedulePanel, public RunPanel {
public:
  ControlWin(MyWin* world, int w, int h);
  ~ControlWin() override;

  void LockControls() override;
  void UnlockControls() override;

  PanelReading read_panel() override;
  double read_speed() const override;
  void show_pause_label() override;
  void show_current_slot(int slot) override;
  void refresh() override { redraw(); }

  // The schedules write the value in force back into their control.
  void show_inactivity(int value) override;
  void show_quarantine_rate(double value) override;

  Fl_Button* start_button;
  Fl_Button* stop_button;
  Fl_Button* pause_button;
  Fl_Button* quit_button;
  Fl_Button* slot_buttons[4];
  Fl_Button* clear_button;
  InputSlider* population_slider;
  InputSlider* infection_rate_slider;
  InputSlider* infection_length_slider;
  InputSlider* ambulatory_days_slider;
  InputSlider* inactivity_slider;
  Fl_Button* lazy_button;
  InputSlider* initially_infected_slider;
  InputSlider* arena_size_slider;
  InputSlider* daily_interactions_slider;
  InputSlider* immunity_duration_slider;
  InputSlider* drivers_slider;
  InputSlider* destinations_slider;
  InputSlider* death_rate_slider;
  InputSlider* chart_upper_limit_slider;
  InputSlider* chart_max_values_slider;
  InputSlider* quarantine_rate_slider;
  Fl_Button* quarantine_button;
  InputSlider* speed_slider;
  Fl_Light_Button* hide_healthy_button;
  Fl_Light_Button* hide_quarantined_button;
  Fl_Light_Button* hide_recovered_button;
  Fl_Light_Button* hard_edge_button;
  Fl_Light_Button* lockdown_button;
  Fl_Menu_Button* chart_type_menu;
  Fl_Box* chart_type_box;
  MyWin* world;
  // lazy_policy, quarantine_policy, lazy_policy_on and quarantine_policy_on come from
  // SchedulePanel.

private:
  // The construction steps, in the order in which the widgets are created.
  void build_run_row();
  void build_left_column();
  void build_right_column();
  void build_toggles();
  void build_chart_type();
  void build_live_chart();
};

extern ControlWin* control_win;

void chart_type_cb(Fl_Widget* w, void* data);
void lazy_cb(Fl_Widget* w, void* data);
void quarantine_cb(Fl_Widget* w, void* data);
void reset_result_cb(Fl_Widget* button, void* control_window);
