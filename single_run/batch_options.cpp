// SPDX-License-Identifier: MIT
#include "single_run/batch_options.h"

#include <cstdio>

#include "params/runner_options.h"

namespace {

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

// The column where an explanation starts, and goes on in on each line after the first.
constexpr int kExplanationColumn = 26;

// "  --NAME WHAT" padded to that column, then the explanation.
std::string usage_line(const std::string& left, const std::string& right) {
  char line[200];
  std::snprintf(line, sizeof line, "  %-*s ", kExplanationColumn - 3, left.c_str());
  std::string text = line;
  for (const char c : right)
    text += c == '\n' ? "\n" + std::string(kExplanationColumn, ' ') : std::string(1, c);
  return text + "\n";
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

// A whole number's explanation starts with its range.
std::string own_line(const RunnerOption& row) {
  std::string left =
      std::string(row.letter != '\0' ? "-" + std::string(1, row.letter) + ", " : "") + "--" +
      row.name + (*row.placeholder != '\0' ? " " : "") + row.placeholder;
  std::string right = row.help;
  if (row.value == OptionValue::Whole)
    right = std::to_string(row.low) + ".." + std::to_string(row.high) + right;
  return usage_line(left, right);
}

} // namespace

const char* const kBatchVersionLine = "epidemic_batch " EPI_VERSION "\n";

bool is_run_option(const std::string& name) {
  const ParamRow* row = find_param(name);
  const RunnerOption* own = find_runner_option(name);
  return (row != nullptr && row->role == ParamRole::RunParameter) || find_schedule(name) ||
         (own != nullptr && own->group == OptionGroup::Run);
}

bool take_run_option(const std::string& name, const std::string& value, BatchOptions* options,
                     std::string* error) {
  const RunnerOption* own = find_runner_option(name);
  if (own == nullptr || own->group != OptionGroup::Run)
    return take_table_option(name, value, options, error);
  long long number = 0;
  if (!read_runner_value(*own, value, &number, error))
    return false;
  if (name == "seed")
    options->seed = static_cast<uint32_t>(number);
  else if (name == "max-days")
    options->max_days = static_cast<int>(number);
  else
    (name == "csv" ? options->csv_path : options->report_path) = value;
  return true;
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
  OptionGroup last = OptionGroup::Run;
  for (const RunnerOption& row : runner_options()) {
    if (row.group != last && row.group == OptionGroup::Ensemble)
      text += "Ensembles and sweeps (each run in its own process):\n";
    if (row.group != last && row.group == OptionGroup::Fit)
      text += "Fitting run parameters to observed data (one machine's cores):\n";
    last = row.group;
    text += own_line(row);
  }
  return text + "A flag also takes =1 or =0; -- ends the options.\n";
}
