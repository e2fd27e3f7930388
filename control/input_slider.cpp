// SPDX-License-Identifier: MIT
#include "control/input_slider.h"

#include <FL/Enumerations.H>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kTextSize = 256;

// The text the field shows after a slider move or a commit: "%%.%df" built from the precision.
void format_fixed(const InputSlider* s, double v, char (&out)[kTextSize]) {
  char fmt[32];
  std::snprintf(fmt, sizeof fmt, "%%.%df", s->precision < 0 ? 0 : s->precision);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
  std::snprintf(out, sizeof out, fmt, v);
#pragma GCC diagnostic pop
}

// The bounds may come in either order; the valid values lie between them either way. atof
// reads "nan" as a NaN, which no comparison would clamp: it counts as not a number, i.e. 0.
double clamp_to_bounds(const InputSlider* s, double v) {
  const double lo = s->minimum < s->maximum ? s->minimum : s->maximum;
  const double hi = s->minimum < s->maximum ? s->maximum : s->minimum;
  if (std::isnan(v))
    v = 0.0;
  if (v < lo)
    return lo;
  if (v > hi)
    return hi;
  return v;
}

} // namespace

InputSlider::InputSlider(int x, int y, int precision_, double value_, double minimum_,
                         double maximum_, const char* label)
    : slider(nullptr), input(nullptr), minimum(minimum_), maximum(maximum_), value(value_),
      precision(precision_) {
  input = new Fl_Input(x, y, 65, 20, label);
  // The first text is the general form ("0.5", not "0.50"); only edits use the precision.
  char text[kTextSize];
  std::snprintf(text, sizeof text, "%g", value);
  input->value(text);
  input->callback(in_input_cb, this);
  input->color(FL_WHITE);
  input->labelsize(12);
  input->textsize(12);

  slider = new Fl_Slider(x + 70, y, 150, 20);
  // Set before the bounds, as the bounds may come in either order.
  slider->value(value);
  slider->type(FL_HOR_NICE_SLIDER);
  slider->align(FL_ALIGN_LEFT);
  slider->bounds(minimum, maximum);
  slider->callback(in_cb, this);
  slider->color(FL_WHITE);
  slider->labelsize(12);
}

void InputSlider::activate() {
  input->activate();
  slider->activate();
}

void InputSlider::deactivate() {
  input->deactivate();
  slider->deactivate();
}

void InputSlider::tooltip(const char* text) {
  input->tooltip(text);
  slider->tooltip(text);
}

void InputSlider::show(double v, const std::string& text) {
  slider->value(v);
  input->value(text.c_str());
  shown_text = text;
  own_shown_value();
}

void InputSlider::show_in_force(double v, const char* text) {
  if (!shows_in_force())
    own_text = input->value();
  slider->value(v);
  input->value(text);
  in_force_text = text;
}

// A text typed but not yet committed leaves the field changed(): it is the user's, whatever it
// reads.
bool InputSlider::shows_in_force() const {
  return !in_force_text.empty() && !input->changed() && in_force_text == input->value();
}

void in_cb(Fl_Widget*, void* data) {
  if (!data)
    return;
  auto* s = static_cast<InputSlider*>(data);
  s->own_shown_value();
  char text[kTextSize];
  format_fixed(s, s->slider->value(), text);
  s->input->value(text);
}

void in_input_cb(Fl_Widget*, void* data) {
  if (!data)
    return;
  auto* s = static_cast<InputSlider*>(data);
  s->own_shown_value();
  const double v = clamp_to_bounds(s, std::atof(s->input->value()));
  char text[kTextSize];
  format_fixed(s, v, text);
  s->input->value(text);
  s->slider->value(v);
}

double committed_value(const InputSlider* s) {
  if (!s)
    return 0.0;
  if (!s->shown_text.empty() && s->shown_text == s->input->value())
    return std::atof(s->input->value());
  char text[kTextSize];
  format_fixed(s, clamp_to_bounds(s, std::atof(s->input->value())), text);
  return std::atof(text);
}

void commit_pending(InputSlider* s) {
  if (!s)
    return;
  const char* typed = s->input->value();
  if (!s->shown_text.empty() && s->shown_text == typed)
    return;
  char text[kTextSize];
  format_fixed(s, clamp_to_bounds(s, std::atof(typed)), text);
  // Integer parameters are read with atoi, which stops at an exponent or a hex prefix that atof
  // honours ("5e2" is 500 to atof but 5 to atoi), so both readings have to agree.
  const double typed_real = std::atof(typed);
  if (typed_real == std::atof(text) && std::atoi(typed) == std::atoi(text))
    return;
  in_input_cb(s->input, s);
}
