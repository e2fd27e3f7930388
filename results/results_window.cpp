// SPDX-License-Identifier: MIT
#include "results/results_window.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>

#include <algorithm>
#include <memory>

#include "results/accumulation_store.h"
#include "results/chart_data.h"
#include "results/my_chart.h"

Fl_Window* results_window = nullptr;

namespace {

struct ResultChart {
  const char* title;
  int y;
  int series; // the store's series; the immune (3) has no chart
};

const ResultChart kCharts[] = {
    {"Infected", 20, 0}, {"New Infections", 240, 1}, {"Quarantined", 460, 2}, {"Dead", 680, 4}};

constexpr int kWindowW = 1044;
constexpr int kWindowH = 900;
constexpr int kChartH = 200;
constexpr int kLayers = 4; // one per slot

void slot_colours(Fl_Color colour[kSlots]) {
  colour[0] = fl_rgb_color(160, 220, 220);
  colour[1] = fl_rgb_color(220, 160, 220);
  colour[2] = fl_rgb_color(220, 220, 160);
  colour[3] = fl_rgb_color(250, 160, 180);
}

// Every slot gets the longest run's number of samples, so shorter runs are padded with what
// their slot holds beyond their end. The chart's data table leaves out the padding that no run
// ever wrote.
void build_chart(const ResultChart& wanted, const Fl_Color colour[kSlots]) {
  double top = 0.0;
  double bottom = 0.0;
  max_min_acc(wanted.series, &top, &bottom);
  auto* chart = new MyChart(10, wanted.y, kWindowW - 20, kChartH, wanted.title);
  chart->align(FL_ALIGN_TOP | FL_ALIGN_LEFT);
  chart->labelsize(12);
  chart->color(FL_WHITE);
  chart->type(FL_FILL_CHART);
  chart->bounds(bottom, top);
  const int slots = std::min({meta_cnt, kSlots, kLayers});
  const int samples = std::min(max_accumulation_cnt, kSamples);
  auto data = std::make_unique<ChartData>();
  data->days = samples;
  for (int slot = 0; slot < slots; ++slot) {
    for (int j = 0; j < samples; ++j) {
      const double v = chart_accumulation[slot][wanted.series][j];
      chart->add(slot, v, nullptr, colour[slot]);
      if (v > chart->max_value)
        chart->max_value = v;
      if (j < slot_recorded_cnt[slot])
        data->slots[slot].push_back(static_cast<float>(v)); // the chart keeps single precision
    }
  }
  chart->data = std::move(data);
}

void destroy_results_window() {
  if (!results_window)
    return;
  results_window->hide();
  delete results_window;
  results_window = nullptr;
}

} // namespace

void results_win_cb(Fl_Widget* window, void*) {
  if (!window)
    return;
  window->hide();
  if (window == results_window)
    results_window = nullptr;
  delete window;
}

void build_results_window() {
  Fl_Color colour[kSlots];
  slot_colours(colour);
  destroy_results_window();
  results_window = new Fl_Window(kWindowW, kWindowH, "Charts");
  results_window->color(FL_WHITE);
  results_window->callback(results_win_cb, results_window);
  for (const ResultChart& wanted : kCharts)
    build_chart(wanted, colour);
  results_window->end();
  results_window->show();
}
