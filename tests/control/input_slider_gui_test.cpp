// SPDX-License-Identifier: MIT
#include <FL/Fl_Window.H>
#include <gtest/gtest.h>
#include <string>

#include "control/input_slider.h"

// The text, then where the slider stands.
static std::string shown(const InputSlider& s) {
  return s.input->value() + (" " + std::to_string(s.slider->value()));
}

// Commits the typed text as the field does, or as a run start commits a text still pending.
static std::string commit(InputSlider& s, const char* typed, bool pending = false) {
  s.input->value(typed);
  if (pending)
    commit_pending(&s);
  else
    in_input_cb(s.input, &s);
  return shown(s);
}

TEST(InputSlider, PendingTextsAndCommitsAreClampedAndReformattedInEitherBoundOrder) {
  Fl_Window win(400, 200); // owns the widgets; the records are ours
  InputSlider speed(80, 10, 3, 0.01, 1.0, 0.001, "Speed");
  InputSlider population(80, 40, 0, 50000, 0, 350000, "Population");
  InputSlider rate(80, 70, 2, 0.5, 0, 100, "Rate");
  InputSlider side(80, 100, 0, 400, 100, 1080, "Side");
  win.end();
  speed.input->value("0");
  EXPECT_DOUBLE_EQ(committed_value(&speed), 0.001);
  EXPECT_EQ(shown(speed), "0 0.010000") << "a pure read";
  EXPECT_EQ(commit(population, "999999", true), "350000 350000.000000");
  EXPECT_EQ(commit(rate, "0.5", true), "0.5 0.500000") << "a text the commit would keep";
  EXPECT_EQ(commit(side, "5e2", true), "500 500.000000"); // atoi: 5, below the range; atof: 500
  side.input->value("abc");
  EXPECT_DOUBLE_EQ(committed_value(&side), 100);

  EXPECT_EQ(commit(speed, "0.05"), "0.050 0.050000");
  EXPECT_EQ(commit(speed, "5"), "1.000 1.000000");
  EXPECT_EQ(commit(speed, "0"), "0.001 0.001000");
  EXPECT_EQ(commit(side, "abc"), "100 100.000000");
  EXPECT_EQ(commit(side, "1500"), "1080 1080.000000");
  EXPECT_EQ(commit(rate, "3"), "3.00 3.000000");
  side.slider->value(444.6);
  in_cb(side.slider, &side);
  EXPECT_EQ(shown(side), "445 444.600000") << "a slider move rounds only the text";
}
