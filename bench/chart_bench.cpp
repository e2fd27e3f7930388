// SPDX-License-Identifier: MIT
// Chart compositing: the blend of one layer onto the picture below it, and one whole redraw of
// a result chart as the results window fills it (four layers of the store's full length).
#include <benchmark/benchmark.h>

#include "chart/image_combine.h"
#include "results/my_chart.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kWidth = 1024, kHeight = 200;

// Chart-like content: mostly the white key colour, with bands of two series that overlap.
std::vector<unsigned char> picture(int phase) {
  std::vector<unsigned char> px(3 * kWidth * kHeight, 255);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      if ((x + phase * 37) % 5 == 0 || y > kHeight - (x + phase * 100) % kHeight) {
        unsigned char* p = &px[3 * (y * kWidth + x)];
        p[0] = static_cast<unsigned char>(160 + phase * 30);
        p[1] = static_cast<unsigned char>(220 - phase * 30);
        p[2] = 200;
      }
    }
  return px;
}

void BM_ImageCombine(benchmark::State& state) {
  const std::vector<unsigned char> base = picture(0), layer = picture(1);
  for (auto _ : state) {
    unsigned char* out = ImageCombine(0.5, base.data(), kWidth, kHeight, layer.data(), kWidth,
                                      kHeight, 255, 255, 255);
    benchmark::DoNotOptimize(out);
    free(out);
  }
  state.counters["ns_per_pixel"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kWidth * kHeight,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ImageCombine)->Unit(benchmark::kMicrosecond);

void BM_ResultChartDraw(benchmark::State& state) {
  if (!getenv("DISPLAY")) {
    state.SkipWithError("needs a display (run under xvfb-run)");
    return;
  }
  fl_open_display();
  Fl_Window top(kWidth + 20, kHeight + 40, "chart bench");
  MyChart* chart = new MyChart(10, 30, kWidth, kHeight, "Infected");
  top.end();
  chart->color(FL_WHITE);
  chart->type(3);
  chart->bounds(0.0, 1000.0);
  const Fl_Color colours[4] = {fl_rgb_color(160, 220, 220), fl_rgb_color(220, 160, 220),
                               fl_rgb_color(220, 220, 160), fl_rgb_color(250, 160, 180)};
  for (int slot = 0; slot < 4; ++slot)
    for (int day = 0; day < 32768; ++day)
      chart->add(slot, 500.0 + 400.0 * std::sin(day / (300.0 + 200.0 * slot)), nullptr,
                 colours[slot]);
  top.show();
  while (!top.visible())
    Fl::wait(0.05);
  Fl::wait(0.1);
  for (auto _ : state) {
    chart->redraw();
    Fl::flush();
    XSync(fl_display, False);
  }
  top.hide();
  Fl::wait(0.01);
}
// Most of the work happens in the X server, so the wall clock is the figure that counts.
BENCHMARK(BM_ResultChartDraw)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
