// Runs one epidemic without a window: the same engine, random stream and order of draws as
// the simulator's first run after start-up, for batch experiments and reproducible studies.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "sim/random_stream.h"
#include "sim/schedules.h"
#include "sim/world.h"
#include "tools/batch_options.h"

namespace {

// Stands in for the arena window: no painting, the daily samples go to the CSV, and the end of
// the run prints the report line.
class BatchHooks : public TickHooks {
public:
  BatchHooks(const World& world, std::FILE* csv) : world_(world), csv_(csv) {}

  void daily_sample(const DailySample& s) override {
    if (csv_ != nullptr)
      std::fprintf(csv_, "%d,%d,%d,%d,%d,%d\n", day, s.infected, s.new_cases, s.newly_quarantined,
                   s.immune_count, s.dead_today);
  }
  void run_ended() override { print_report_line(stdout, world_); }

private:
  const World& world_;
  std::FILE* csv_;
};

void run(const BatchOptions& o, std::FILE* csv) {
  random_seed(o.seed);
  SchedulePanel panel;
  panel.lazy_policy = o.inactivity_schedule;
  panel.quarantine_policy = o.quarantine_schedule;
  panel.lazy_policy_on = o.inactivity_schedule_on ? 1 : 0;
  panel.quarantine_policy_on = o.quarantine_schedule_on ? 1 : 0;
  schedule_panel = &panel;

  World world;
  BatchHooks hooks(world, csv);
  iteration = 0;
  old_infected = 0;
  world.start_run(o.params);
  while (true) {
    world.tick(hooks);
    if (world.done)
      break;
    if (day > o.max_days) {
      // Ends as "Stop" ends a run: after the whole tick, with one report.
      world.done = 1;
      print_report_line(stdout, world);
      break;
    }
  }
  schedule_panel = nullptr;
  clean_world();
}

} // namespace

int main(int argc, char** argv) {
  BatchOptions options;
  std::string error;
  if (!parse_batch_options(argc, argv, static_cast<uint32_t>(std::time(nullptr)), &options,
                           &error)) {
    std::fprintf(stderr, "epidemic_batch: %s\n", error.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(kBatchUsage, stdout);
    return 0;
  }
  std::FILE* csv = nullptr;
  if (!options.csv_path.empty()) {
    csv = std::fopen(options.csv_path.c_str(), "w");
    if (csv == nullptr) {
      std::fprintf(stderr, "epidemic_batch: cannot write %s: %s\n", options.csv_path.c_str(),
                   std::strerror(errno));
      return 1;
    }
    std::fputs("day,infected,new_cases,newly_quarantined,immune,dead_today\n", csv);
  }
  run(options, csv);
  if (csv != nullptr && (std::ferror(csv) || std::fclose(csv) != 0)) {
    std::fprintf(stderr, "epidemic_batch: writing %s failed\n", options.csv_path.c_str());
    return 1;
  }
  return 0;
}
