// SPDX-License-Identifier: MIT
#include "control/policy_event.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "control/control_win.h"

namespace {

// Columns stand 40 apart but are 100 wide: each lies over the empty right-hand part of the one
// before, and the last reaches past the editor's right edge.
constexpr int kColumnX = 50;
constexpr int kColumnStep = 40;
constexpr int kColumnW = 100;
constexpr int kColumnH = 240;

const char* const kDayTip = "Set a series of days on which the setpoint below is reached.";
const char* const kValueTip =
    "A setpoint value for the variable. It will ramp to the setpoint from its previous value.";

void make_caption(int y, const char* label) {
  auto* b = new Fl_Box(10, y, 40, 20, label);
  b->box(FL_NO_BOX);
  b->color(FL_WHITE);
  b->labelsize(12);
  b->align(FL_ALIGN_INSIDE | FL_ALIGN_RIGHT);
}

void make_button(int x, const char* label, Fl_Callback* cb, PolicyArray* policy, const char* tip) {
  auto* b = new Fl_Button(x, 260, 80, 20, label);
  b->color(FL_WHITE);
  b->labelsize(12);
  b->callback(cb, policy);
  b->tooltip(tip);
}

Fl_Input* make_field(int y, const char* text, const char* tip) {
  auto* in = new Fl_Input(0, y, 40, 20);
  in->color(FL_WHITE);
  in->textsize(12);
  in->value(text);
  in->tooltip(tip);
  return in;
}

PolicyEvent* editor_of(Fl_Widget* w) {
  return w ? dynamic_cast<PolicyEvent*>(w->top_window()) : nullptr;
}

int first_out_of_order(const PolicyEvent& editor) {
  int days[kSetpoints];
  for (int i = 0; i < kSetpoints; ++i)
    days[i] = policy_day_of(editor.day_inputs[i]->value());
  return first_day_out_of_order(days);
}

void paint_day(PolicyEvent* editor, int i, Fl_Color colour) {
  Fl_Input* field = editor->day_inputs[i];
  if (field->color() == colour)
    return;
  field->color(colour);
  field->redraw();
  editor->redraw();
}

void show_symbol(Fl_Button* button, const char* symbol) {
  button->label(symbol);
  button->redraw();
}

// Hands the schedule's parameter to the schedule (on) or back to its control, which then owns
// the rate it shows, the one a run would start from. Only the panel's own schedules have a
// parameter; any other schedule is just stored.
void hand_over(PolicyArray* policy, bool on) {
  ControlWin* c = control_win;
  if (!c)
    return;
  for (const ScheduleRow& row : schedule_rows()) {
    if (policy != &(c->*row.policy))
      continue;
    c->*row.in_use = on ? 1 : 0;
    show_symbol(c->schedule_button(row.name), on ? "@-4<" : "@-4+");
    InputSlider* field = c->field(row.drives);
    if (on) {
      field->deactivate();
    } else {
      field->own_shown_value();
      field->activate();
    }
  }
}

// A finished editor is never shown again, and every press of a setpoint button builds a new
// one: release it, after the callback that finished it has returned.
void release(PolicyEvent* editor) {
  if (editor)
    Fl::delete_widget(editor);
}

} // namespace

int policy_day_of(const char* text) {
  if (!text)
    return 0;
  const long v = std::strtol(text, nullptr, 10);
  if (v > INT_MAX)
    return INT_MAX;
  if (v < INT_MIN)
    return INT_MIN;
  return static_cast<int>(v);
}

PolicyEvent::PolicyEvent(const char* title, PolicyArray* policy) : Fl_Window(480, 300) {
  copy_label(title);
  color(FL_WHITE);
  make_caption(20, "Day");
  make_caption(42, "Value");
  for (int k = 0; k < kSetpoints; ++k)
    build_column(k, policy);
  make_button(140, "Use", policy_event_done, policy, "Use this scheme to control the variable.");
  make_button(260, "Cancel", policy_event_cancel, policy,
              "Restore the static value previously set for the simulation.");
  end();
  callback(policy_event_close_cb);
  show();
}

void PolicyEvent::build_column(int k, PolicyArray* policy) {
  const Setpoint entry = policy ? (*policy)[k] : Setpoint{-1, 0.0};
  auto* column = new Fl_Window(kColumnX + kColumnStep * k, 20, kColumnW, kColumnH);
  column->color(FL_WHITE);

  char text[64];
  std::snprintf(text, sizeof text, "%d", entry.setpoint_day);
  day_inputs[k] = make_field(0, text, kDayTip);
  day_inputs[k]->callback(policy_test_day_cb, policy);

  std::snprintf(text, sizeof text, "%g", entry.value);
  Fl_Input* value_field = make_field(22, text, kValueTip);

  // Vertical sliders have their minimum at the top: 100 stands at the top, 0 at the bottom.
  auto* slider = new Fl_Slider(13, 50, 14, 160);
  slider->color(FL_WHITE);
  slider->bounds(100.0, 0.0);
  slider->value(entry.value);
  slider->callback(policy_event_slider_cb, value_field);
  slider->tooltip(kValueTip);
  value_field->callback(policy_event_input_cb, slider);
  value_sliders[k] = slider;

  column->end();
  add(column);
}

// Fields after the first one out of order keep their colours: only the walk up to it repaints.
void policy_test_day_cb(Fl_Widget* w, void*) {
  PolicyEvent* editor = editor_of(w);
  if (!editor)
    return;
  const int bad = first_out_of_order(*editor);
  const int last = bad < 0 ? kSetpoints - 1 : bad;
  for (int i = 0; i < last; ++i)
    paint_day(editor, i, FL_WHITE);
  paint_day(editor, last, bad < 0 ? FL_WHITE : FL_YELLOW);
}

void policy_event_slider_cb(Fl_Widget* w, void* input) {
  if (!w || !input)
    return;
  char text[64];
  std::snprintf(text, sizeof text, "%.3g", static_cast<Fl_Slider*>(w)->value());
  static_cast<Fl_Input*>(input)->value(text);
}

// The typed value goes to the slider as it is, even outside 0 .. 100, and the text is left as
// typed. Only "nan" is refused, as not a number: it would leave the slider nowhere to be drawn.
void policy_event_input_cb(Fl_Widget* w, void* slider) {
  if (!w || !slider)
    return;
  double v = std::atof(static_cast<Fl_Input*>(w)->value());
  if (std::isnan(v))
    v = 0.0;
  static_cast<Fl_Slider*>(slider)->value(v);
}

// The stored values are the sliders', not the value fields' texts.
void policy_event_done(Fl_Widget* w, void* data) {
  PolicyEvent* editor = editor_of(w);
  if (!editor || !data)
    return;
  const int bad = first_out_of_order(*editor);
  if (bad >= 0) {
    editor->day_inputs[bad]->color(FL_YELLOW);
    editor->day_inputs[bad]->redraw();
    editor->redraw();
    return;
  }
  auto* policy = static_cast<PolicyArray*>(data);
  for (int i = 0; i < kSetpoints; ++i) {
    (*policy)[i].setpoint_day = policy_day_of(editor->day_inputs[i]->value());
    (*policy)[i].value = editor->value_sliders[i]->value();
  }
  hand_over(policy, true);
  release(editor);
}

// The schedule's entries stay as they were, and the control keeps the value it last showed.
void policy_event_cancel(Fl_Widget* w, void* data) {
  if (!data)
    return;
  hand_over(static_cast<PolicyArray*>(data), false);
  release(editor_of(w));
}

// Closing through the window manager changes nothing, like "Cancel" without the hand-back.
void policy_event_close_cb(Fl_Widget* w, void*) {
  release(dynamic_cast<PolicyEvent*>(w));
}
