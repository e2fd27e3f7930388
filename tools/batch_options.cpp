// SPDX-License-Identifier: MIT
#include "tools/batch_options.h"

#include <cstdio>

#include "numbers/number_reading.h"

namespace {

const char* const kMaxDaysMessage = "--max-days must be a whole number from 0 to 2147483646";
const char* const kSeedMessage = "--seed must be a whole number from 0 to 4294967295";

bool take_path(const std::string& name, const std::string& value, std::string* path,
               std::string* error) {
  if (value.empty()) {
    *error = "--" + name + " needs a file path";
    return false;
  }
  *path = value;
  return true;
}

bool take_number(const char* message, const std::string& value, long long high, long long* out,
                 std::string* error) {
  if (parse_whole_number(value, 0, high, out))
    return true;
  *error = message;
  return false;
}

// "  --NAME WHAT" padded to the column where the explanation starts.
std::string usage_line(const std::string& left, const std::string& right) {
  char line[200];
  std::snprintf(line, sizeof line, "  %-23s %s\n", left.c_str(), right.c_str());
  return line;
}

std::string param_line(const ParamRow& row) {
  char right[80];
  if (row.kind == ParamKind::Toggle)
    std::snprintf(right, sizeof right, "(%g)", row.initial);
  else
    std::snprintf(right, sizeof right, "%g..%g (%g)", row.low, row.high, row.initial);
  const char* what = row.kind == ParamKind::Toggle ? " 0|1"
                     : row.kind == ParamKind::Real ? " R"
                                                   : " N";
  return usage_line(std::string("--") + row.name + what, right);
}

const char* const kUsageTail =
    "  --seed N                0..4294967295 (the time)\n"
    "  --max-days N            0..2147483646: stop once the day exceeds N (32768)\n"
    "  --csv PATH              write the daily samples as CSV (- for stdout)\n"
    "  --report PATH           also write the report line, then the run's end figures\n"
    "                          (TOTAL DEAD: N, ...), to PATH (- for stdout)\n"
    "  --setup FILE            take the run options of a setup file (TOML); options on the\n"
    "                          command line win over it\n"
    "  --save-setup FILE       write the setup the other options describe, then exit\n"
    "  -h, --help              this text\n"
    "  --version               the program's name and version\n"
    "Ensembles and sweeps (each run in its own process):\n"
    "  --runs N                1..100000 runs per point, seeds SEED+0 .. SEED+N-1 (1)\n"
    "  --vary NAME=LIST        a run option without dashes over a LIST of values, either\n"
    "                          A,B,C or FROM:TO:STEP; repeat for a cartesian product\n"
    "  --jobs J                1..256 runs at once (the processors online)\n"
    "  --out DIR               where the run files, runs.csv, ends.csv, points.csv,\n"
    "                          summary.csv, bands.png and a setup per point go; a new or\n"
    "                          empty folder\n"
    "  --plot SERIES,...       1..9 daily CSV columns for bands.png's panels (infected,\n"
    "                          newly_infected,bedridden,dead,vaccinated,immune)\n"
    "  --plot-days N           1..32768: bands.png's days end at N (the last day that 5 %\n"
    "                          of some point's runs reach)\n"
    "  --force                 use DIR even when it is not empty\n"
    "  --quiet                 no progress line on stderr\n"
    "  --plan                  write DIR's manifest and print one command per run\n"
    "  --merge DIR             merge the run files of a planned DIR\n"
    "A flag also takes =1 or =0; -- ends the options.\n";

// A run parameter or a schedule, as the table checks and stores it.
bool take_table_option(const std::string& name, const std::string& value, BatchOptions* o,
                       std::string* error) {
  if (const ScheduleRow* schedule = find_schedule(name)) {
    if (!parse_schedule(*schedule, value, &(o->schedules.*schedule->policy), error))
      return false;
    o->schedules.*schedule->in_use = 1;
    return true;
  }
  const ParamRow* row = find_param(name);
  double v = 0.0;
  if (row == nullptr || !parse_param(*row, value, &v, error))
    return false;
  store_param(*row, v, &o->params);
  return true;
}

} // namespace

const char* const kBatchVersionLine = "epidemic_batch " EPI_VERSION "\n";

bool is_run_option(const std::string& name) {
  const ParamRow* row = find_param(name);
  return (row != nullptr && row->role == ParamRole::RunParameter) || find_schedule(name) ||
         name == "seed" || name == "max-days" || name == "csv" || name == "report";
}

bool take_run_option(const std::string& name, const std::string& value, BatchOptions* options,
                     std::string* error) {
  BatchOptions& o = *options;
  long long whole = 0;
  if (name == "seed") {
    if (!take_number(kSeedMessage, value, 4294967295LL, &whole, error))
      return false;
    o.seed = static_cast<uint32_t>(whole);
    return true;
  }
  if (name == "max-days") {
    if (!take_number(kMaxDaysMessage, value, 2147483646, &whole, error))
      return false;
    o.max_days = static_cast<int>(whole);
    return true;
  }
  if (name == "csv" || name == "report")
    return take_path(name, value, name == "csv" ? &o.csv_path : &o.report_path, error);
  return take_table_option(name, value, &o, error);
}

std::string batch_usage() {
  std::string text = "usage: epidemic_batch [options]\n"
                     "Runs one epidemic without a window and prints the end-of-run report line.\n";
  for (const ParamRow& row : param_rows())
    if (row.role == ParamRole::RunParameter)
      text += param_line(row);
  for (const ScheduleRow& row : schedule_rows())
    text += usage_line(std::string("--") + row.name + " D:V,...",
                       std::string("1 to 10 setpoints for --") + row.drives);
  return text + kUsageTail;
}
