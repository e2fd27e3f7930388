#include <FL/Fl_Window.H>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "control/input_slider.h"

namespace {

// The window owns the widgets; the record is ours.
struct Field {
  std::unique_ptr<Fl_Window> win{new Fl_Window(400, 100)};
  std::unique_ptr<InputSlider> s;
  Field(int precision, double value, double left, double right)
      : s(new InputSlider(80, 10, precision, value, left, right, "Field")) {
    win->end();
  }
  std::string text() const { return s->input->value(); }
  std::string commit(const char* typed) {
    s->input->value(typed);
    in_input_cb(s->input, s.get());
    return text();
  }
};

} // namespace

TEST(InputSlider, CommitClampsAndReformatsInEitherBoundOrder) {
  Field speed(3, 0.01, 1.0, 0.001);
  EXPECT_EQ(speed.commit("0.05"), "0.050");
  EXPECT_DOUBLE_EQ(speed.s->slider->value(), 0.05);
  EXPECT_EQ(speed.commit("5"), "1.000");
  EXPECT_EQ(speed.commit("0"), "0.001");
  EXPECT_DOUBLE_EQ(speed.s->slider->value(), 0.001);
  Field days(0, 30, 1, 90);
  EXPECT_EQ(days.commit("abc"), "1");
  EXPECT_EQ(days.commit("150"), "90");
  EXPECT_EQ(days.commit("nan"), "1");
  EXPECT_EQ(Field(2, 0.5, 0, 100).commit("3"), "3.00");
}

TEST(InputSlider, SliderMoveRoundsOnlyTheText) {
  Field f(0, 50000, 0, 350000);
  f.s->slider->value(1234.6);
  in_cb(f.s->slider, f.s.get());
  EXPECT_EQ(f.text(), "1235");
  EXPECT_DOUBLE_EQ(f.s->slider->value(), 1234.6);
  in_input_cb(f.s->input, nullptr);
  EXPECT_EQ(f.text(), "1235");
}

TEST(InputSlider, PendingTextIsReadAsItsCommitWouldLeaveIt) {
  Field speed(3, 0.01, 1.0, 0.001);
  speed.s->input->value("0");
  EXPECT_DOUBLE_EQ(committed_value(speed.s.get()), 0.001);
  EXPECT_EQ(speed.text(), "0"); // a pure read
  Field population(0, 50000, 0, 350000);
  population.s->input->value("999999");
  EXPECT_DOUBLE_EQ(committed_value(population.s.get()), 350000);
  commit_pending(population.s.get());
  EXPECT_EQ(population.text(), "350000");
  EXPECT_DOUBLE_EQ(population.s->slider->value(), 350000);
  Field rate(2, 0.5, 0, 100);
  commit_pending(rate.s.get());
  EXPECT_EQ(rate.text(), "0.5");
  // atoi reads "5e2" as 5, below the smallest arena side, although atof sees 500.
  Field arena(0, 400, 100, 1080);
  arena.s->input->value("5e2");
  commit_pending(arena.s.get());
  EXPECT_EQ(arena.text(), "500");
  arena.s->input->value("abc");
  EXPECT_DOUBLE_EQ(committed_value(arena.s.get()), 100);
}
