// SPDX-License-Identifier: MIT
// The Ensemble window while an ensemble runs: the longest time the event loop went without an
// iteration while 200 runs were read and drawn as they ended (the window's own measurement), and
// one redraw of its six panels with ten points' bands.
#include <benchmark/benchmark.h>

#include <FL/Fl.H>
#include <FL/x.H>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "arena/my_win.h"
#include "control/control_win.h"
#include "ensemble_window/ensemble_win.h"

namespace {

// 300 persons on 100 x 100, one move a day: short runs, so that reading them is the load.
void small_scenario(ControlWin* panel) {
  for (auto [name, text] : {std::pair{"population", "300"},
                            {"arena-size", "100"},
                            {"initially-infected", "30"},
                            {"infection-length", "3"},
                            {"daily-interactions", "1"}})
    panel->field(name)->input->value(text);
}

void BM_EnsembleLoopGap(benchmark::State& state) {
  if (!getenv("DISPLAY")) {
    state.SkipWithError("needs a display (run under xvfb-run)");
    return;
  }
  const std::string data = "/tmp/ensemble_bench_" + std::to_string(getpid());
  setenv("XDG_DATA_HOME", data.c_str(), 1);
  ensemble_batch_runner = BATCH_BINARY;
  MyWin* arena = setup_window();
  arena->hide();
  auto* panel = new ControlWin(arena, 800, 700);
  panel->end();
  small_scenario(panel);
  ensemble_cb(nullptr, panel);
  EnsembleWin* win = ensemble_window;
  double longest = 0;
  for (auto _ : state) {
    win->runs_input->value(std::to_string(state.range(0)).c_str());
    win->run();
    while (win->busy())
      Fl::wait(0.05);
    longest = std::max(longest, win->longest_loop_gap_ms());
  }
  state.counters["longest_gap_ms"] = longest;
  delete win;
  delete panel;
  delete arena;
  std::filesystem::remove_all(data);
}
BENCHMARK(BM_EnsembleLoopGap)->Arg(200)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// Ten points of 20 runs, 150 days each, opened from a folder the batch runner makes.
void BM_EnsembleRedraw(benchmark::State& state) {
  if (!getenv("DISPLAY")) {
    state.SkipWithError("needs a display (run under xvfb-run)");
    return;
  }
  const std::string dir = "/tmp/ensemble_bench_open_" + std::to_string(getpid());
  const std::string command = std::string(BATCH_BINARY) +
                              " --population 2000 --arena-size 100 --infection-length 20 "
                              "--daily-interactions 1 --max-days 150 --runs 20 "
                              "--vary vaccination=0:9:1 --quiet --out " +
                              dir + " >/dev/null";
  if (std::system(command.c_str()) != 0) {
    state.SkipWithError("the batch runner failed");
    return;
  }
  MyWin* arena = setup_window();
  arena->hide();
  auto* panel = new ControlWin(arena, 800, 700);
  panel->end();
  ensemble_cb(nullptr, panel);
  EnsembleWin* win = ensemble_window;
  win->open_folder(dir);
  while (win->busy())
    Fl::wait(0.05);
  while (!win->visible())
    Fl::wait(0.05);
  for (auto _ : state) {
    win->redraw();
    Fl::flush();
    XSync(fl_display, False);
  }
  delete win;
  delete panel;
  delete arena;
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_EnsembleRedraw)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
