// SPDX-License-Identifier: MIT
// One headless tick at full and default population, against a floor: the least any tick
// must do over the same data — empty the grid, read and write every person twice, and make
// as many random draws as the tick made.
#include <benchmark/benchmark.h>

#include <time.h>

#include <cstring>
#include <vector>

#include "params/run_parameters.h"
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

// The same day of an epidemic a few weeks in, replayed from a copy at every iteration, so that
// every iteration does the same work whatever the iteration count.
struct Snapshot {
  std::vector<Person> people;
  World world;
  int day_then = 0, iteration_then = 0, old_infected_then = 0;
  uint32_t stream = 0;

  void take(const World& w) {
    people.clear();
    for (int i = 0; i < init_pop; ++i)
      people.push_back(*person[i]);
    world = w;
    day_then = day;
    iteration_then = iteration;
    old_infected_then = old_infected;
    stream = random_state;
  }
  void restore(World& w) const {
    for (int i = 0; i < init_pop; ++i)
      *person[i] = people[i];
    w = world;
    day = day_then;
    iteration = iteration_then;
    old_infected = old_infected_then;
    random_state = stream;
  }
};

constexpr int kTicksReplayed = 9; // a day with the default 8 interactions, its boundary included

// The replayed day at a vaccination rate of 0: its draws, and the persons susceptible as its
// boundary begins, each of whom a rate above 0 gives one draw more.
std::pair<int, int> day_without_vaccination(const Snapshot& snapshot, World& world) {
  const double rate = vaccination_rate;
  vaccination_rate = 0.0;
  snapshot.restore(world);
  TickHooks none;
  int susceptible = 0;
  for (int t = 0; t < kTicksReplayed; ++t) {
    if (world.daily_interactions < iteration + 1)
      for (int i = 0; i < init_pop; ++i)
        susceptible += person[i]->state == 0 && person[i]->dead == 0;
    world.tick(none);
  }
  vaccination_rate = rate;
  return {draws_between(snapshot.stream, random_state), susceptible};
}

void BM_Tick(benchmark::State& state) {
  reset_engine_state();
  RunParameters params = initial_run_parameters();
  params.population = static_cast<int>(state.range(0));
  params.lockdown = static_cast<int>(state.range(1));
  random_seed(1);
  World world;
  world.start_run(params);
  TickHooks none;
  for (int i = 0; i < 9 * 20; ++i)
    world.tick(none);
  // The same day either way: only the replayed ticks vaccinate.
  vaccination_rate = static_cast<double>(state.range(2)) / 100.0;
  Snapshot snapshot;
  snapshot.take(world);
  const auto [unvaccinated_draws, susceptible] = day_without_vaccination(snapshot, world);

  double tick_seconds = 0.0;
  int draws = 0;
  for (auto _ : state) {
    state.PauseTiming();
    snapshot.restore(world);
    state.ResumeTiming();
    const double start = cpu_seconds();
    for (int t = 0; t < kTicksReplayed; ++t)
      world.tick(none);
    tick_seconds += seconds_since(start);
    draws = draws_between(snapshot.stream, random_state);
  }
  const double start = cpu_seconds();
  for (benchmark::IterationCount i = 0; i < state.iterations(); ++i)
    for (int t = 0; t < kTicksReplayed; ++t)
      floor_tick(init_pop, draws / kTicksReplayed);
  const double floor_seconds = seconds_since(start);

  const double ticks = static_cast<double>(state.iterations()) * kTicksReplayed;
  state.counters["tick_ms"] = 1e3 * tick_seconds / ticks;
  state.counters["floor_ms"] = 1e3 * floor_seconds / ticks;
  state.counters["ratio"] = tick_seconds / floor_seconds;
  state.counters["draws"] = draws / kTicksReplayed;
  // The day's draws beyond those at a rate of 0, beside the persons who draw for vaccination:
  // one each, give or take the infection draws, since contacts differ once the stream moved on.
  state.counters["vaccination_draws"] = draws - unvaccinated_draws;
  state.counters["susceptible"] = susceptible;
  reset_engine_state();
}

} // namespace

BENCHMARK(BM_Tick)
    ->ArgNames({"persons", "lockdown", "vaccination_bp"}) // basis points: 50 is 0.5 % a day
    ->Args({50000, 1, 0})
    ->Args({50000, 0, 0})
    ->Args({kMostPersons, 1, 0})
    ->Args({kMostPersons, 0, 0})
    ->Args({kMostPersons, 1, 50})
    ->Unit(benchmark::kMillisecond);
