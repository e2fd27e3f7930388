// SPDX-License-Identifier: MIT
// One epidemic without a window: the same engine, random stream and order of draws as the
// simulator's first run after start-up, for batch experiments and reproducible studies.
#include "single_run/single_run.h"

#include <csignal>
#include <cstdio>
#include <memory>
#include <string>

#include "fileio/atomic_file.h"
#include "sim/random_stream.h"
#include "sim/report_line.h"
#include "sim/schedules.h"
#include "sim/world.h"
#include "single_run/run_files.h"
#include "single_run/standard_streams.h"

namespace {

volatile std::sig_atomic_t stop_signal = 0;

void stop_cb(int sig) {
  stop_signal = sig;
}

// Stands in for the arena window: no painting, the daily samples go to the CSV, and the end of
// the run keeps the report line.
class BatchHooks : public TickHooks {
public:
  BatchHooks(const World& world, std::FILE* csv) : world_(world), csv_(csv) {}

  void daily_sample(const DailySample& s) override {
    if (csv_ != nullptr)
      write_daily_row(csv_, day, s);
  }
  void run_ended() override { keep_report(); }

  void keep_report() {
    char line[512];
    format_report_line(line, sizeof line, world_);
    report = line;
  }
  std::string report;

private:
  const World& world_;
  std::FILE* csv_;
};

// Returns false when a stop signal came first.
bool run(const BatchOptions& o, BatchHooks& hooks, World& world) {
  iteration = 0;
  old_infected = 0;
  world.start_run(o.params);
  while (stop_signal == 0) {
    world.tick(hooks);
    if (world.done)
      return true;
    if (day > o.max_days) {
      // Ends as "Stop" ends a run: after the whole tick, with one report.
      world.done = 1;
      hooks.keep_report();
      return true;
    }
  }
  return false;
}

// No file for no path, nor for "-", which stands for standard output.
std::unique_ptr<AtomicFile> open_output(const std::string& path, std::string* error) {
  if (path.empty() || path == "-")
    return nullptr;
  auto file = std::make_unique<AtomicFile>(path);
  if (!file->open(error))
    return nullptr;
  return file;
}

std::FILE* stream_of(const std::string& path, AtomicFile* file) {
  return path == "-" ? stdout : file != nullptr ? file->stream() : nullptr;
}

bool commit(AtomicFile* file, std::string* error) {
  return file == nullptr || file->commit(error);
}

} // namespace

int run_single(const BatchOptions& o) {
  std::signal(SIGINT, stop_cb);
  std::signal(SIGTERM, stop_cb);
  std::string error;
  std::unique_ptr<AtomicFile> csv = open_output(o.csv_path, &error);
  std::unique_ptr<AtomicFile> report = open_output(o.report_path, &error);
  if (!error.empty()) {
    report_error(error);
    return 1;
  }
  std::FILE* const csv_out = stream_of(o.csv_path, csv.get());
  if (csv_out != nullptr)
    std::fprintf(csv_out, "%s\n", daily_header().c_str());

  random_seed(o.seed);
  SchedulePanel panel = o.schedules;
  schedule_panel = &panel;
  World world;
  BatchHooks hooks(world, csv_out);
  const bool finished = run(o, hooks, world);
  schedule_panel = nullptr;
  if (!finished) {
    // Drop the partial files before ending the way the signal asks.
    csv.reset();
    report.reset();
    std::signal(stop_signal, SIG_DFL);
    std::raise(stop_signal);
    return 1;
  }
  // The caller flushes stdout: a failure is reported once, with its reason. A report file on
  // stdout holds the report line already.
  if (o.report_path != "-")
    std::fputs(hooks.report.c_str(), stdout);
  if (std::FILE* const report_out = stream_of(o.report_path, report.get()))
    write_report_file(report_out, hooks.report, run_end_of(world));
  clean_world();
  if (!commit(csv.get(), &error) || !commit(report.get(), &error)) {
    report_error(error);
    return 1;
  }
  return 0;
}
