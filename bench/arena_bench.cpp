// SPDX-License-Identifier: MIT
// A tick with its paint against the bare engine tick, under a display (Xvfb): the painted tick
// draws the arena window exactly as the toolkit does at each redraw.
#include <benchmark/benchmark.h>

#include <FL/Fl.H>
#include <FL/x.H>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "arena/my_win.h"
#include "params/run_parameters.h"
#include "sim/random_stream.h"
#include "sim/world.h"

namespace {

// Every person visible, nobody recovering during the measured ticks: the heaviest paint.
RunParameters busy_run(int population, int side) {
  RunParameters p = initial_run_parameters();
  p.population = population;
  p.arena_size = side;
  p.initially_infected = population / 4;
  p.infection_length = 90;
  p.lockdown = 0;
  p.hide_healthy = p.hide_quarantined = p.hide_recovered = 0;
  return p;
}

void BM_TickHeadless(benchmark::State& state) {
  reset_engine_state();
  random_seed(1);
  World world;
  world.start_run(busy_run(static_cast<int>(state.range(0)), static_cast<int>(state.range(1))));
  TickHooks none;
  for (auto _ : state)
    world.tick(none);
  state.SetItemsProcessed(state.iterations() * state.range(0));
  reset_engine_state();
}

// Without a display the benchmark starts a private Xvfb, so the paint is always measured against
// the same kind of server. -terminate: the server goes with its last client, this program.
bool open_a_display() {
  if (std::getenv("DISPLAY"))
    return true;
  int fds[2];
  if (pipe(fds) != 0)
    return false;
  const pid_t server = fork();
  if (server == 0) {
    close(fds[0]);
    const std::string fd = std::to_string(fds[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1600x1200x24", "-nolisten",
           "tcp", "-terminate", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  // The number comes first, then a newline: the pipe must stay open until the newline.
  std::string number;
  char c;
  while (server > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
    number += c;
  close(fds[0]);
  if (number.empty())
    return false;
  setenv("DISPLAY", (":" + number).c_str(), 1);
  return true;
}

void BM_TickPainted(benchmark::State& state) {
  static const bool have_display = open_a_display();
  if (!have_display) {
    state.SkipWithError("no display and no Xvfb");
    return;
  }
  reset_engine_state();
  random_seed(1);
  Fl::visual(FL_DOUBLE);
  const int side = static_cast<int>(state.range(1));
  auto* win = new MyWin(side, side);
  win->start_run(busy_run(static_cast<int>(state.range(0)), side));
  win->arena->size(side, side);
  win->show();
  // Until the window is exposed the toolkit draws nothing.
  const int before = iteration + day * 1000;
  for (int i = 0; i < 200 && iteration + day * 1000 == before; ++i)
    Fl::wait(0.01);
  int ticks = 0;
  const int start = day * (win->daily_interactions + 1) + iteration;
  for (auto _ : state) {
    win->redraw();
    Fl::flush();
    ++ticks;
  }
  // Make sure the server has drawn everything before the clock stops for the last time.
  XSync(fl_display, False);
  if (day * (win->daily_interactions + 1) + iteration - start != ticks)
    state.SkipWithError("a redraw did not tick");
  state.SetItemsProcessed(state.iterations() * state.range(0));
  delete win;
  Fl::wait(0.0);
  reset_engine_state();
}

} // namespace

// Persons, arena side: the panel's default side and its largest.
#define ARENA_CASES ArgNames({"persons", "side"})->ArgsProduct({{50000, kMostPersons}, {400, 1080}})
BENCHMARK(BM_TickHeadless)->ARENA_CASES->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TickPainted)->ARENA_CASES->Unit(benchmark::kMillisecond);
