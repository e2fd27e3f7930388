// One headless tick at full and default population, against a floor: the least any tick
// must do over the same data — empty the grid, read and write every person twice, and make
// as many random draws as the tick made.
#include <benchmark/benchmark.h>

#include <time.h>

#include <cstring>

#include "sim/contact_grid.h"
#include "sim/random_stream.h"
#include "sim/world.h"

namespace {

// Thread CPU time: other work on a shared machine then skews the figures far less.
double cpu_seconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

int draws_between(uint32_t from, uint32_t to) {
  int n = 0;
  for (uint32_t s = from; s != to; s = s * 1103515245u + 12345u)
    ++n;
  return n;
}

void floor_tick(int count, int draws) {
  std::memset(sick_list, 0, sizeof sick_list);
  for (int i = 0; i < count; ++i)
    person[i]->dwell += 1;
  for (int i = 0; i < count; ++i)
    person[i]->dwell -= 1;
  int sum = 0;
  for (int i = 0; i < draws; ++i)
    sum += random_draw();
  benchmark::DoNotOptimize(sum);
}

double seconds_since(double start) {
  return cpu_seconds() - start;
}

void BM_Tick(benchmark::State& state) {
  reset_engine_state();
  RunParameters params;
  params.population = static_cast<int>(state.range(0));
  params.lockdown = static_cast<int>(state.range(1));
  random_seed(1);
  World world;
  world.start_run(params);
  TickHooks none;
  for (int i = 0; i < 9 * 20; ++i) // a few weeks in
    world.tick(none);

  double tick_seconds = 0.0;
  long long draws = 0;
  for (auto _ : state) {
    const uint32_t before = random_state;
    const double start = cpu_seconds();
    world.tick(none);
    tick_seconds += seconds_since(start);
    state.PauseTiming();
    draws += draws_between(before, random_state);
    state.ResumeTiming();
  }
  const int per_tick = static_cast<int>(draws / state.iterations());
  const double start = cpu_seconds();
  for (benchmark::IterationCount i = 0; i < state.iterations(); ++i)
    floor_tick(init_pop, per_tick);
  const double floor_seconds = seconds_since(start);

  state.counters["tick_ms"] = 1e3 * tick_seconds / state.iterations();
  state.counters["floor_ms"] = 1e3 * floor_seconds / state.iterations();
  state.counters["ratio"] = tick_seconds / floor_seconds;
  state.counters["draws"] = per_tick;
  reset_engine_state();
}

} // namespace

BENCHMARK(BM_Tick)
    ->ArgNames({"persons", "lockdown"})
    ->Args({50000, 1})
    ->Args({50000, 0})
    ->Args({350000, 1})
    ->Args({350000, 0})
    ->Unit(benchmark::kMillisecond);
