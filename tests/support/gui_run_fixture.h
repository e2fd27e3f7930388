#pragma once
#include <gtest/gtest.h>

#include <FL/Fl_Chart.H>

#include <functional>
#include <string>

#include "control/control_win.h"
#include "sim/arena/my_win.h"

// Runs the event loop until the condition holds or the time is up; returns the condition.
bool pump_until(const std::function<bool()>& cond, double seconds = 20.0);

// Start-up as the program does it (arena hidden, panel shown, engine and store as at start-up),
// stdout caught; torn down after each test so that runs do not leak into one another.
class GuiRunTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
  static void type(InputSlider* s, const char* text) { s->input->value(text); } // uncommitted
  // 300 persons on 100 x 100, 30 infected, one tick a day.
  void small_run_settings(int infection_length = 2, const char* speed_text = "0.001");
  static void press(Fl_Widget* w) { w->do_callback(); }
  int ticks() const { return day * (arena->daily_interactions + 1) + iteration; }
  std::string printed();        // since SetUp
  int ticks_in(double seconds); // ticks the run makes while a timer of that delay is pending
  MyWin* arena = nullptr;
  ControlWin* panel = nullptr;
  std::string printed_;
};

// True when the text is exactly one report line of that population and printed area.
bool is_report_line(const std::string& text, int population, const char* area);
// A chart layer's entries, which the toolkit keeps to itself.
const FL_CHART_ENTRY* chart_entries(const Fl_Chart* chart);
