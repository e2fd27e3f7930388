// SPDX-License-Identifier: MIT
#include "arena/run_control.h"

#include <FL/Fl.H>

#include <cstring>

#include "arena/my_win.h"
#include "arena/run_panel.h"
#include "results/accumulation_store.h"
#include "results/my_chart.h"
#include "sim/random_stream.h"
#include "sim/schedules.h"

namespace {

constexpr double kFirstTick = 0.1; // seconds from Start or Resume to the first tick

RunPanel* panel_of(Fl_Widget* w) {
  return w ? dynamic_cast<RunPanel*>(w->window()) : nullptr;
}

// A run that is over has nothing to resume: leaving "Resume" on the button would let the next
// run's first press arm a second timer chain.
void show_pause_label(RunPanel* panel) {
  if (panel)
    panel->show_pause_label();
}

// A pass of the event loop that ran long (the live chart's day-boundary redraw can outlast a
// 0.01 s interval) makes the toolkit call the timer again at once, before it draws: two redraw
// requests would make one tick and the run would fall behind its Speed. The pending tick is
// drawn first, but once in a row only, so that a run slower than its Speed cannot hold off the
// user's events for a burst of ticks.
void catch_up(MyWin& win) {
  static bool caught_up = false;
  if (!win.damage()) {
    caught_up = false;
  } else if (!caught_up) {
    Fl::flush();
    caught_up = true;
  }
}

// What a run leaves to the next (the day clock's tick, the last infected count, the schedules'
// ramps) goes back to its value at program start, as in the program's first run and the batch
// runner's. Only the schedules the engine follows stay the panel's.
void start_as_first_run() {
  SchedulePanel* const schedules = schedule_panel;
  reset_engine_state();
  schedule_panel = schedules;
}

} // namespace

RunPanel* run_panel = nullptr;

void MyWin::run_world(int) {
  show();
  if (graph)
    graph->clear();
  start_accumulation();
  PanelReading r;
  if (run_panel)
    r = run_panel->read_panel();
  const int side = r.params.arena_size;
  arena->resize(0, 0, side, side);
  resize(x(), y(), side, side);
  if (graph) {
    graph->bounds(0.0, static_cast<double>(r.chart_upper_limit));
    graph->maxsize(r.chart_max_values);
  }
  // An opened setup's seed makes this run the batch runner's run of that setup: seeded right
  // before the world is built, from the state the batch runner starts from.
  uint32_t seed = 0;
  if (run_panel && run_panel->begin_run(&seed)) {
    start_as_first_run();
    random_seed(seed);
  }
  start_run(r.params);
  run_reported_ = false;
  // Exactly one timer chain per run, whatever a paused or stopped run left behind.
  Fl::remove_timeout(draw_cb, this);
  Fl::add_timeout(kFirstTick, draw_cb, this);
  show_pause_label(run_panel);
}

// One more tick is always asked for after the tick that ends a run (or after Stop): the values
// looked at are those from before the tick this call requests.
void draw_cb(void* data) {
  if (!data)
    return;
  auto* win = static_cast<MyWin*>(data);
  catch_up(*win);
  win->redraw();
  bool rearmed = false;
  if (win->done == 0 && win->infected > 0 && person != nullptr) {
    if (run_panel)
      speed = run_panel->read_speed();
    Fl::repeat_timeout(speed, draw_cb, win);
    rearmed = true;
  }
  if (!run_panel)
    return;
  run_panel->show_current_slot(meta_idx);
  if (!rearmed)
    run_panel->UnlockControls();
  run_panel->refresh();
}

void start_sim_cb(Fl_Widget* w, void* win) {
  if (!win)
    return;
  if (RunPanel* panel = panel_of(w))
    panel->LockControls();
  static_cast<MyWin*>(win)->run_world(init_pop);
}

void stop_sim_cb(Fl_Widget* w, void* win) {
  if (!win)
    return;
  RunPanel* panel = panel_of(w);
  if (panel)
    panel->UnlockControls();
  show_pause_label(panel);
  auto* arena = static_cast<MyWin*>(win);
  arena->done = 1;
  arena->DoneSim();
}

void pause_sim_cb(Fl_Widget* w, void* win) {
  if (!w || !win)
    return;
  if (w->label() && std::strcmp(w->label(), "Pause") == 0) {
    Fl::remove_timeout(draw_cb, win);
    w->label("Resume");
    return;
  }
  Fl::remove_timeout(draw_cb, win);
  Fl::add_timeout(kFirstTick, draw_cb, win);
  w->label("Pause");
}

void quit_sim_cb(Fl_Widget* w, void* win) {
  if (win) {
    auto* arena = static_cast<MyWin*>(win);
    arena->done = 1;
    arena->hide();
  }
  if (w && w->window())
    w->window()->hide();
}

void mywin_close_cb(Fl_Widget* w, void*) {
  auto* arena = dynamic_cast<MyWin*>(w);
  if (!arena)
    return;
  arena->done = 1;
  arena->hide();
  if (run_panel) {
    run_panel->UnlockControls();
    run_panel->show_pause_label();
  }
}

void control_close_cb(Fl_Widget* w, void* win) {
  if (win) {
    auto* arena = static_cast<MyWin*>(win);
    arena->done = 1;
    arena->hide();
  }
  if (w)
    w->hide();
}
