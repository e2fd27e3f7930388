// SPDX-License-Identifier: MIT
#pragma once
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Light_Button.H>
#include <FL/Fl_Menu_Button.H>

#include <cstdint>
#include <string>
#include <vector>

#include "arena/run_panel.h"
#include "control/input_slider.h"
#include "params/run_parameters.h"
#include "setup/setup_file.h"
#include "sim/schedules.h"

class MyWin;

// A field or toggle of the panel and the row of the run-parameter table it was built from.
struct PanelField {
  const ParamRow* row;
  InputSlider* slider;     // a whole or real row
  Fl_Light_Button* toggle; // a toggle row
};

// The control panel "Control". Its members are read and written directly by the schedules and
// the setpoint editors; run control reaches it as a RunPanel.
class ControlWin : public Fl_Double_Window, public SchedulePanel, public RunPanel {
public:
  ControlWin(MyWin* world, int w, int h);
  ~ControlWin() override;

  void LockControls() override;
  void UnlockControls() override;

  PanelReading read_panel() override;
  bool begin_run(uint32_t* seed) override;
  double read_speed() const override;
  void show_pause_label() override;
  void show_current_slot(int slot) override;
  void refresh() override { redraw(); }

  // The schedules write the value in force back into their control.
  void show_inactivity(int value) override;
  void show_quarantine_rate(double value) override;
  void show_vaccination_rate(double value) override;

  // Null when the panel has no field, or no toggle, of that name.
  InputSlider* field(const char* name) const;
  Fl_Light_Button* toggle(const char* name) const;
  // The button that opens the editor of the schedule of that name; null for none.
  Fl_Button* schedule_button(const char* schedule) const;

  // The setup the panel stands for now: its own values (typed text committed, never a rate a
  // schedule has put in force), the display settings, the schedules in use, and the opened
  // setup's seed while its run values and schedules are still the panel's.
  Setup current_setup();
  // Fills every field, toggle, the chart type and the schedules from the setup; its seed, if it
  // holds one, is taken by the next Start only, and only if the run values and schedules are
  // still the setup's. An open setpoint editor is closed.
  void show_setup(const Setup& setup);

  Fl_Button* start_button;
  Fl_Button* stop_button;
  Fl_Button* pause_button;
  Fl_Button* quit_button;
  Fl_Button* slot_buttons[4];
  Fl_Button* clear_button;
  Fl_Button* open_setup_button;
  Fl_Button* save_setup_button;
  // "Ensemble…": opens the Ensemble window, which start-up connects (the panel sits below it).
  Fl_Button* ensemble_button;
  // One per field and toggle row of the table, in creation order.
  std::vector<PanelField> fields;
  // The fields that the schedules, run control and the tests reach by name.
  InputSlider* population_slider;
  InputSlider* infection_length_slider;
  InputSlider* inactivity_slider;
  InputSlider* initially_infected_slider;
  InputSlider* arena_size_slider;
  InputSlider* daily_interactions_slider;
  InputSlider* quarantine_rate_slider;
  InputSlider* vaccination_slider;
  InputSlider* speed_slider;
  Fl_Button* lazy_button;
  Fl_Button* quarantine_button;
  Fl_Button* vaccination_button;
  Fl_Menu_Button* chart_type_menu;
  Fl_Box* chart_type_box;
  MyWin* world;
  // The schedules and their flags (lazy_policy, lazy_policy_on, ...) come from SchedulePanel.

private:
  // The construction steps, in the order in which the widgets are created.
  void build_run_row();
  void build_fields();
  void build_field(const ParamRow& row);
  void build_setpoint_button(const ParamRow& driven);
  void build_chart_type(const ParamRow& row);
  void build_live_chart();
  void name_fields();
  // The panel's values as read_panel() reads them, but where a schedule shows the rate it has
  // put in force, the value the field held before: what a Save writes.
  PanelReading own_values();
  PanelReading reading(double (*read)(const PanelField&));
  // True while the setup's run values and schedules are those of the opened setup.
  bool holds_opened_setup(const Setup& setup) const;

  Setup opened_;             // the setup last opened, its seed included
  bool seed_unused_ = false; // no Start since it was opened
};

extern ControlWin* control_win;

void chart_type_cb(Fl_Widget* w, void* data);
void lazy_cb(Fl_Widget* w, void* data);
void quarantine_cb(Fl_Widget* w, void* data);
void vaccination_cb(Fl_Widget* w, void* data);
void reset_result_cb(Fl_Widget* button, void* control_window);
// "Open Setup…" and "Save Setup…": ask for a file through chart_file_chooser, and tell a
// failure through chart_alert; the user data is the control window.
void open_setup_cb(Fl_Widget* button, void* control_window);
void save_setup_cb(Fl_Widget* button, void* control_window);
// Reads the whole file and fills the panel from it, or changes nothing and returns false with
// "PATH:LINE: REASON" in *error.
bool open_setup_file(ControlWin* panel, const std::string& path, std::string* error);
