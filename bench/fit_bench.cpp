// SPDX-License-Identifier: MIT
// A fit's speed: the points it scores a second, and what running a point's seeds in forked
// workers costs beyond the runs themselves.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "ensemble/ensemble_commands.h"
#include "fit/seed_runs.h"
#include "sim/random_stream.h"
#include "sim/schedules.h"
#include "sim/world.h"

namespace {

// A private folder for the runs' files, removed with whatever is left in it.
struct RunFolder {
  RunFolder() {
    char name[] = "/tmp/fit_bench.XXXXXX";
    path = mkdtemp(name) != nullptr ? name : "/tmp";
  }
  ~RunFolder() { rmdir(path.c_str()); }
  std::string path;
};

BatchOptions model(int population, int days) {
  BatchOptions o;
  const std::pair<const char*, std::string> values[] = {{"population", std::to_string(population)},
                                                        {"arena-size", "100"},
                                                        {"infection-rate", "18"},
                                                        {"ambulatory-days", "4"},
                                                        {"infection-length", "10"},
                                                        {"max-days", std::to_string(days)}};
  std::string error;
  for (const auto& [name, value] : values)
    take_run_option(name, value, &o, &error);
  return o;
}

void run_point(benchmark::State& state, const BatchOptions& options, int runs, int jobs) {
  RunFolder folder;
  Workers workers;
  SeedRuns seeds(&workers, options, folder.path, jobs);
  std::vector<std::vector<DayFigures>> rows;
  std::string error;
  for (auto _ : state)
    if (!seeds.run({}, 1, runs, &rows, &error))
      state.SkipWithError(error.c_str());
}

// A point of the recovery example (8 runs of 5,000 persons over 60 days) on every core: its
// items/s are the points a fit scores a second.
void BM_FitPoint(benchmark::State& state) {
  run_point(state, model(5000, 60), 8, online_processors());
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FitPoint)->Unit(benchmark::kMillisecond)->UseRealTime();

// One run without persons over 60 days, through a worker: the request and the reply, the CSV
// written, read back and removed, and the run. What it takes beyond BM_FitEmptyRunInProcess is what
// the machinery adds to each run.
void BM_FitRunMachinery(benchmark::State& state) {
  run_point(state, model(0, 60), 1, 1);
}
BENCHMARK(BM_FitRunMachinery)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same run in this process, without its CSV.
void BM_FitEmptyRunInProcess(benchmark::State& state) {
  const BatchOptions o = model(0, 60);
  TickHooks none;
  for (auto _ : state) {
    reset_engine_state();
    reset_schedules();
    random_seed(1);
    World world;
    world.start_run(o.params);
    while (!world.done && day <= o.max_days)
      world.tick(none);
    clean_world();
  }
}
BENCHMARK(BM_FitEmptyRunInProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
