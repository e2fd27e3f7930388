// SPDX-License-Identifier: MIT
#include "arena/my_win.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <cstdio>

#include "arena/run_control.h"
#include "arena/run_panel.h"
#include "results/accumulation_store.h"
#include "results/my_chart.h"

namespace {

// Live-chart series by chart_mask bit (1, 2, 4, 8, 16), in the store's series order. The
// immune and the daily dead share a colour.
const Fl_Color kSeriesColour[kSeries] = {fl_rgb_color(160, 60, 0), fl_rgb_color(160, 120, 0),
                                         fl_rgb_color(60, 160, 0), fl_rgb_color(60, 0, 160),
                                         fl_rgb_color(60, 0, 160)};

} // namespace

MyWin::MyWin(int w, int h) : Fl_Double_Window(w, h, "Test") {
  arena = new Fl_Box(0, 0, global_area, global_area);
  arena->color(FL_BLACK);
  arena->box(FL_FLAT_BOX);
  arena->labelcolor(FL_BLACK);
  end();
}

MyWin::~MyWin() {
  // A pending tick must not reach a window that is gone.
  Fl::remove_timeout(draw_cb, this);
}

int MyWin::handle(int event) {
  return Fl_Window::handle(event);
}

// Every draw is a tick, whatever asked the toolkit for it.
void MyWin::draw() {
  tick(*this);
}

// The canvas starts as the window's own drawing would paint it (the window colour, the black
// arena box over it) and covers the whole window when blitted, so the toolkit need not paint
// that background a first time.
ArenaCanvas* MyWin::begin_frame() {
  return painter_.begin(w(), h(), color(), arena->x(), arena->y(), arena->w(), arena->h(),
                        arena->color());
}

void MyWin::end_frame(const char* status) {
  painter_.blit();
  draw_status_band(status, w());
}

void MyWin::daily_sample(const DailySample& s) {
  if (!graph)
    return;
  // The store's series order, as doubles for both the chart and the store.
  double figures[kSeries];
  for (int series = 0; series < kSeries; ++series)
    figures[series] = static_cast<double>(s.value[series]);
  // Only the first series sent at a tenth day carries the day number.
  char label[256] = "";
  if (day % 10 == 0)
    std::snprintf(label, sizeof label, "%d", day);
  for (int series = 0; series < kSeries; ++series) {
    if (!(chart_mask & (1 << series)))
      continue;
    graph->add(0, figures[series], label, kSeriesColour[series]);
    label[0] = '\0';
  }
  record_sample(figures);
  graph->redraw();
  if (run_panel)
    run_panel->refresh();
}

void MyWin::run_ended() {
  DoneSim();
}

MyWin* setup_window() {
  auto* w = new MyWin(400, 400);
  w->end();
  w->show();
  return w;
}
