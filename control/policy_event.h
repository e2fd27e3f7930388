// SPDX-License-Identifier: MIT
#pragma once
#include <FL/Fl_Input.H>
#include <FL/Fl_Slider.H>
#include <FL/Fl_Window.H>

#include "sim/schedules.h"

// The setpoint editor: ten overlapping columns of a day field, a value field and a vertical value
// slider. It builds and shows itself; "Use" and "Cancel" hand the schedule's parameter over to
// the schedule or back to its control, and release the editor.
class PolicyEvent : public Fl_Window {
public:
  PolicyEvent(const char* title, PolicyArray* policy);

  Fl_Input* day_inputs[kSetpoints];
  Fl_Slider* value_sliders[kSetpoints];

private:
  void build_column(int k, PolicyArray* policy);
};

void policy_test_day_cb(Fl_Widget* w, void* policy);    // a day field committed
void policy_event_input_cb(Fl_Widget* w, void* slider); // a value field committed
void policy_event_slider_cb(Fl_Widget* w, void* input); // a value slider dragged
void policy_event_done(Fl_Widget* w, void* policy);     // "Use"
void policy_event_cancel(Fl_Widget* w, void* policy);   // "Cancel"
void policy_event_close_cb(Fl_Widget* w, void*);        // the window manager's close

// A day field's text as a day: atoi's reading ("abc" is 0), saturated to the int range instead
// of wrapping around.
int policy_day_of(const char* text);
