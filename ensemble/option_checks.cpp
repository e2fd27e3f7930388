// SPDX-License-Identifier: MIT
#include "ensemble/option_checks.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "numbers/number_reading.h"
#include "numbers/number_text.h"
#include "text/quoted_text.h"

namespace {

// A --vary list is bounded before its values are made, however many points they would give.
constexpr long long kMaxValues = 100000;

// The run options that a sweep may vary: every run parameter of the table, which each take one
// number, and --max-days.
bool is_variable(const std::string& name) {
  const ParamRow* row = find_param(name);
  return name == "max-days" || (row != nullptr && row->role == ParamRole::RunParameter);
}

std::string days_message() {
  return "--max-days must be a whole number from 0 to " + std::to_string(kMaxEnsembleDays) +
         " in an ensemble";
}

std::string too_many_values(const std::string& name) {
  return "--vary " + name + ": more than " + std::to_string(kMaxValues) + " values";
}

// FROM + k * STEP in binary leaves a trace of rounding ("0.30000000000000004" for 0 + 3 * 0.1),
// which fifteen significant digits, all that a double holds of any decimal, leave out.
std::string sweep_value_text(double v) {
  char digits[32];
  const auto written =
      std::to_chars(digits, digits + sizeof digits - 1, v, std::chars_format::scientific, 14);
  *written.ptr = '\0';
  return shortest_text(std::strtod(digits, nullptr));
}

bool expand_range(const std::string& name, double from, double to, double step,
                  std::vector<std::string>* values, std::string* error) {
  if (step == 0.0 || (to - from) / step < 0.0) {
    *error = "--vary " + name + ": STEP must not be 0 and must lead from FROM to TO";
    return false;
  }
  // The tolerance keeps TO when rounding leaves it a hair beyond FROM + k * STEP.
  const double steps = std::floor((to - from) / step + 1e-9);
  if (steps >= static_cast<double>(kMaxValues)) {
    *error = too_many_values(name);
    return false;
  }
  for (long long k = 0; k <= static_cast<long long>(steps); ++k)
    values->push_back(sweep_value_text(from + static_cast<double>(k) * step));
  return true;
}

bool check_merge_alone(const EnsembleOptions& o, bool plotted, std::string* error) {
  // A merge draws the plot that its manifest records.
  if (o.merge.empty() ||
      (o.out.empty() && !o.plan && !o.force && o.varied.empty() && o.runs == 1 && o.fixed.empty() &&
       o.save_setup.empty() && !plotted && o.fit.empty() && !o.fit_options))
    return true;
  *error = "--merge takes no other options but --quiet";
  return false;
}

// A fit searches one machine's runs: a plan's runs would go elsewhere, and its points are its
// own to choose.
bool check_fit(const EnsembleOptions& o, bool plotted, std::string* error) {
  if (o.fit.empty() && o.fit_options)
    *error = "--fit-param, --fit-weight and --trials go with --fit DATA.csv";
  else if (o.fit.empty())
    return true;
  else if (!o.varied.empty() || o.plan || plotted)
    *error = "--fit cannot be used with --vary, --plan, --plot or --plot-days";
  else if (o.out.empty())
    *error = "--fit needs --out DIR";
  else if (o.fit_params.empty())
    *error = "--fit needs at least one --fit-param NAME=LOW:HIGH";
  else
    return true;
  return false;
}

bool check_out_given(const EnsembleOptions& o, bool plotted, std::string* error) {
  if (!o.out.empty() || !o.merge.empty() ||
      (o.runs == 1 && o.varied.empty() && !o.plan && !o.force && !plotted))
    return true;
  *error = "--out DIR is needed with --runs above 1, --vary, --plan, --force or --plot";
  return false;
}

// Every run of an ensemble writes its own files in DIR/runs, within the days a merge can bound.
bool check_runs_of_out(const EnsembleOptions& o, std::string* error) {
  const BatchOptions& run = o.single;
  if (o.out.empty())
    return true;
  if (!run.csv_path.empty() || !run.report_path.empty())
    *error = std::string(run.csv_path.empty() ? "--report" : "--csv") +
             " cannot be used with --out: every run writes its own files in DIR/runs";
  else if (run.max_days > kMaxEnsembleDays)
    *error = days_message();
  else
    return true;
  return false;
}

bool check_varied(const EnsembleOptions& o, std::string* error) {
  long long points = 1;
  for (const VariedOption& v : o.varied) {
    for (const auto& [name, value] : o.fixed)
      if (name == "--" + v.name) {
        *error = name + " is both given and varied";
        return false;
      }
    // Each factor is at most kMaxValues: checked at every step, the product cannot overflow.
    points *= static_cast<long long>(v.values.size());
    if (!check_ensemble_size(points, o.runs, error))
      return false;
  }
  return true;
}

} // namespace

bool check_ensemble_value(const std::string& option, const std::string& value, std::string* error) {
  long long number = 0;
  if (option == "--runs")
    return read_runner_value(*find_runner_option("runs"), value, &number, error);
  BatchOptions parsed;
  const std::string name = option.rfind("--", 0) == 0 ? option.substr(2) : "";
  if (!is_run_option(name)) {
    *error = "unknown option " + quoted(option) + " (see --help)";
    return false;
  }
  if (!take_run_option(name, value, &parsed, error))
    return false;
  if (parsed.max_days <= kMaxEnsembleDays)
    return true;
  *error = days_message();
  return false;
}

bool check_ensemble_size(long long points, long long runs, std::string* error) {
  if (points > kMaxPoints)
    *error = "more than " + std::to_string(kMaxPoints) + " points";
  else if (points * runs > kMaxRuns)
    *error = "more than " + std::to_string(kMaxRuns) + " runs in all";
  else
    return true;
  return false;
}

bool expand_value_list(const std::string& name, const std::string& list,
                       std::vector<std::string>* values, std::string* error) {
  values->clear();
  const size_t first = list.find(':');
  if (first == std::string::npos) {
    *values = split_commas(list);
    if (static_cast<long long>(values->size()) <= kMaxValues)
      return true;
    *error = too_many_values(name);
    return false;
  }
  const size_t second = list.find(':', first + 1);
  double from = 0, to = 0, step = 0;
  if (second == std::string::npos || !parse_real_number(list.substr(0, first), &from) ||
      !parse_real_number(list.substr(first + 1, second - first - 1), &to) ||
      !parse_real_number(list.substr(second + 1), &step)) {
    *error = "--vary " + name + ": LIST must be A,B,... or FROM:TO:STEP";
    return false;
  }
  return expand_range(name, from, to, step, values, error);
}

bool read_varied(const std::string& assignment, const std::vector<VariedOption>& earlier,
                 VariedOption* v, std::string* error) {
  const size_t eq = assignment.find('=');
  if (eq == std::string::npos || eq == 0) {
    *error = "--vary needs NAME=LIST";
    return false;
  }
  v->name = assignment.substr(0, eq);
  if (!is_variable(v->name)) {
    *error = "--vary " + v->name + ": not a run option that takes one number";
    return false;
  }
  for (const VariedOption& other : earlier)
    if (other.name == v->name) {
      *error = "--vary " + v->name + " is given twice";
      return false;
    }
  if (!expand_value_list(v->name, assignment.substr(eq + 1), &v->values, error))
    return false;
  for (const std::string& value : v->values)
    if (!check_ensemble_value("--" + v->name, value, error))
      return false;
  return true;
}

bool check_combination(const EnsembleOptions& o, std::string* error) {
  const bool plotted = !o.plot.empty() || o.plot_days > 0;
  return check_merge_alone(o, plotted, error) && check_fit(o, plotted, error) &&
         check_out_given(o, plotted, error) && check_runs_of_out(o, error) &&
         check_varied(o, error);
}
