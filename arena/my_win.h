// SPDX-License-Identifier: MIT
#pragma once
#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>

#include "arena/arena_painter.h"
#include "sim/tick_hooks.h"
#include "sim/world.h"

class MyChart;

// The arena window "Test". Each draw() is one tick of the world it holds: the toolkit's redraw
// is the clock. It paints through the tick's hooks and feeds the live chart and the store.
class MyWin : public Fl_Double_Window, public World, private TickHooks {
public:
  MyWin(int w, int h);
  ~MyWin() override;
  void draw() override;
  int handle(int event) override;

  void run_world(int); // the argument is not used
  void DoneSim();

  MyChart* graph = nullptr; // the live chart; owned by the control window
  Fl_Box* arena = nullptr;

private:
  ArenaCanvas* begin_frame() override;
  void daily_sample(const DailySample& sample) override;
  void end_frame(const char* status) override;
  void run_ended() override;

  ArenaPainter painter_;
  // A run is reported (line, charts, slot advance) once, whether it ends by itself or by Stop;
  // run_world clears it. Nothing to report before the first run.
  bool run_reported_ = true;
};

MyWin* setup_window();
