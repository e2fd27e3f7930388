// SPDX-License-Identifier: MIT
#pragma once
#include <FL/Fl_Input.H>
#include <FL/Fl_Slider.H>

#include <string>

// A labelled text field paired with a horizontal slider. The text is the value the program
// reads; the slider follows it. The bounds may come in either order ("Speed" runs from 1.0 at
// the left to 0.001 at the right).
struct InputSlider {
  InputSlider(int x, int y, int precision, double value, double minimum, double maximum,
              const char* label);
  void activate();
  void deactivate();
  void tooltip(const char* text);
  // Shows a value from elsewhere (a setup file) as `text`, which a run then reads as it stands,
  // finer than the field's precision if need be, until the text is edited.
  void show(double v, const std::string& text);

  Fl_Slider* slider;
  Fl_Input* input;
  double minimum;
  double maximum;
  double value;
  int precision;
  std::string shown_text; // the text show() put in the field
};

void in_cb(Fl_Widget* w, void* data);       // slider moved
void in_input_cb(Fl_Widget* w, void* data); // text committed

// A typed text is only committed when the field loses the focus, so a run can start (or the
// timer re-read "Speed") while a raw text such as "0" or "999999" still stands in the field.
// What the field's commit would make of its current text, read back with atof; touches nothing.
double committed_value(const InputSlider* s);
// Commits the current text exactly as in_input_cb would (text rewritten, slider moved) when the
// engine's atof or atoi reading of it differs from the committed one; a text the commit would
// keep, such as an initial "0.5" with two decimals, is left as it is.
void commit_pending(InputSlider* s);
