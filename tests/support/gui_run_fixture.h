#pragma once
#include <gtest/gtest.h>

#include <FL/Fl_Chart.H>

#include <cstdio>
#include <functional>
#include <string>

#include "control/control_win.h"
#include "sim/my_win.h"

// Runs the event loop until the condition holds or the time is up; returns the condition.
bool pump_until(const std::function<bool()>& cond, double seconds = 20.0);
void pump_for(double seconds);

// Start-up as the program does it (arena window hidden, control panel shown, the engine on the
// panel's schedules) with an empty store and the engine at its program-start state; torn down
// after each test so that runs do not leak into one another.
class GuiRunTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // Puts a text into a field as typing would, without committing it.
  static void type(InputSlider* s, const char* text) { s->input->value(text); }
  // A quick run: 300 persons on 100 x 100, one tick a day, the given infection length.
  void small_run_settings(int infection_length = 2, const char* speed_text = "0.001");
  static void press(Fl_Widget* w) { w->do_callback(); }
  int ticks() const; // read off the day clock

  MyWin* arena = nullptr;
  ControlWin* panel = nullptr;
};

// Everything written to stdout while it lives; handed on to the real stdout at the end, since
// the test framework's failure messages are among it.
class StdoutCapture {
public:
  StdoutCapture();
  ~StdoutCapture();
  std::string text();
  int lines();

private:
  int saved_fd_ = -1;
  std::FILE* file_ = nullptr;
};

// True when the text is exactly one report line "%d: %s DAYS: %d AREA: %f\n" of the given
// population and printed area, whose middle is a status line; gives its days.
bool is_report_line(const std::string& text, int population, const char* area, int* days);

// A chart layer's entries, which the toolkit keeps to itself.
const FL_CHART_ENTRY* chart_entries(const Fl_Chart* chart);
