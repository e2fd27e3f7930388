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
  // Shows a rate that a schedule has put in force. The field's own value stays the text it held
  // before (own_text), until the field is edited or a run starts from what it shows.
  void show_in_force(double v, const char* text);
  // True while the field shows, untouched, the rate a schedule put in force.
  bool shows_in_force() const;
  // What the field shows becomes its own value: a run has read it, or its schedule is dropped.
  void own_shown_value() { in_force_text.clear(); }

  Fl_Slider* slider;
  Fl_Input* input;
  double minimum;
  double maximum;
  double value;
  int precision;
  std::string shown_text;    // the text show() put in the field
  std::string in_force_text; // the text show_in_force() put in the field; empty: none
  std::string own_text;      // the field's text before a schedule wrote in it
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
