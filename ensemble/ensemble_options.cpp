// SPDX-License-Identifier: MIT
#include "ensemble/ensemble_options.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/batch_options.h"

namespace {

// A --vary list is bounded before its values are made, however many points they would give.
constexpr long long kMaxValues = 100000;

const char* const kValued[] = {"--runs", "--vary", "--jobs", "--out", "--merge"};
const char* const kFlags[] = {"--force", "--quiet", "--plan"};

// The run options that a sweep may vary: every one that takes one number.
const char* const kVariable[] = {"population",      "infection-rate",     "infection-length",
                                 "ambulatory-days", "inactivity",         "initially-infected",
                                 "arena-size",      "daily-interactions", "immunity-duration",
                                 "drivers",         "destinations",       "death-rate",
                                 "quarantine-rate", "hard-edge",          "lockdown",
                                 "max-days"};

template <size_t N> bool is_one_of(const std::string& arg, const char* const (&names)[N]) {
  for (const char* name : names)
    if (arg == name)
      return true;
  return false;
}

std::string option_name(const std::string& arg) {
  const size_t eq = arg.find('=');
  return arg.rfind("--", 0) == 0 && eq != std::string::npos ? arg.substr(0, eq) : arg;
}

bool parse_count(const std::string& name, const std::string& text, long long low, long long high,
                 int* out, std::string* error) {
  long long v = 0;
  if (!parse_whole_number(text, low, high, &v)) {
    *error = name + " must be a whole number from " + std::to_string(low) + " to " +
             std::to_string(high);
    return false;
  }
  *out = static_cast<int>(v);
  return true;
}

bool parse_number(const std::string& text, double* out) {
  char* end = nullptr;
  *out = std::strtod(text.c_str(), &end);
  return !text.empty() && *end == '\0' && std::isfinite(*out);
}

// The single-run parser is the one judge of a run option's value, so a sweep refuses exactly
// what a single run would refuse, with the same message.
bool check_run_args(const std::vector<std::string>& args, BatchOptions* parsed,
                    std::string* error) {
  std::vector<char*> argv{const_cast<char*>("epidemic_batch")};
  for (const std::string& a : args)
    argv.push_back(const_cast<char*>(a.c_str()));
  return parse_batch_options(static_cast<int>(argv.size()), argv.data(), 0, parsed, error);
}

// Pairs the already checked run options as ("--name", "value").
std::vector<std::pair<std::string, std::string>> pair_up(const std::vector<std::string>& args) {
  std::vector<std::pair<std::string, std::string>> pairs;
  for (size_t i = 0; i < args.size(); ++i) {
    const size_t eq = args[i].find('=');
    if (eq != std::string::npos)
      pairs.emplace_back(args[i].substr(0, eq), args[i].substr(eq + 1));
    else if (i + 1 < args.size())
      pairs.emplace_back(args[i], args[i + 1]), ++i;
  }
  return pairs;
}

bool add_varied(const std::string& assignment, EnsembleOptions* o, std::string* error) {
  const size_t eq = assignment.find('=');
  if (eq == std::string::npos || eq == 0) {
    *error = "--vary needs NAME=LIST";
    return false;
  }
  VariedOption v{assignment.substr(0, eq), {}};
  if (!is_one_of(v.name, kVariable)) {
    *error = "--vary " + v.name + ": not a run option that takes one number";
    return false;
  }
  for (const VariedOption& other : o->varied)
    if (other.name == v.name) {
      *error = "--vary " + v.name + " is given twice";
      return false;
    }
  if (!expand_value_list(v.name, assignment.substr(eq + 1), &v.values, error))
    return false;
  for (const std::string& value : v.values)
    if (!check_ensemble_value("--" + v.name, value, error))
      return false;
  o->varied.push_back(v);
  return true;
}

bool take_ensemble_option(const std::string& name, const std::string& value, EnsembleOptions* o,
                          std::string* error) {
  if (name == "--runs")
    return parse_count(name, value, 1, kMaxRunsPerPoint, &o->runs, error);
  if (name == "--jobs")
    return parse_count(name, value, 1, 256, &o->jobs, error);
  if (name == "--vary")
    return add_varied(value, o, error);
  std::string& dir = name == "--out" ? o->out : o->merge;
  dir = value;
  if (value.empty()) {
    *error = name + " needs a folder";
    return false;
  }
  return true;
}

bool holds_control(const std::string& text) {
  for (const char c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
      return true;
  return false;
}

// Sorts the command line into ensemble options and the run options passed on to every run.
bool split_arguments(int argc, char** argv, EnsembleOptions* o, std::vector<std::string>* run_args,
                     std::string* error) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const std::string name = option_name(arg);
    // Every argument goes into a line of the plan and of the manifest, and values into CSV cells.
    if (holds_control(arg)) {
      *error = "an ensemble's arguments must not hold control characters: " + arg;
      return false;
    }
    if (is_one_of(arg, kFlags)) {
      (arg == "--force" ? o->force : arg == "--quiet" ? o->quiet : o->plan) = true;
      continue;
    }
    if (!is_one_of(name, kValued)) {
      run_args->push_back(arg);
      continue;
    }
    std::string value;
    if (name != arg) {
      value = arg.substr(name.size() + 1);
    } else if (i + 1 < argc) {
      value = argv[++i];
    } else {
      *error = arg + " needs a value";
      return false;
    }
    if (!take_ensemble_option(name, value, o, error))
      return false;
  }
  return true;
}

std::string days_message() {
  return "--max-days must be a whole number from 0 to " + std::to_string(kMaxEnsembleDays) +
         " in an ensemble";
}

bool check_combination(const EnsembleOptions& o, const BatchOptions& run, std::string* error) {
  if (!o.merge.empty() && (!o.out.empty() || o.plan || o.force || !o.varied.empty() ||
                           o.runs != 1 || !o.fixed.empty())) {
    *error = "--merge takes no other options but --quiet";
    return false;
  }
  if (o.out.empty() && o.merge.empty() && (o.runs > 1 || !o.varied.empty() || o.plan || o.force)) {
    *error = "--out DIR is needed with --runs above 1, --vary, --plan or --force";
    return false;
  }
  if (!o.out.empty() && (!run.csv_path.empty() || !run.report_path.empty())) {
    *error = std::string(run.csv_path.empty() ? "--report" : "--csv") +
             " cannot be used with --out: every run writes its own files in DIR/runs";
    return false;
  }
  if (!o.out.empty() && run.max_days > kMaxEnsembleDays) {
    *error = days_message();
    return false;
  }
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

std::string format_value(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.15g", v == 0.0 ? 0.0 : v); // no "-0"
  return text;
}

} // namespace

bool check_ensemble_value(const std::string& option, const std::string& value, std::string* error) {
  if (option == "--runs") {
    int runs = 0;
    return parse_count(option, value, 1, kMaxRunsPerPoint, &runs, error);
  }
  BatchOptions parsed;
  if (!check_run_args({option, value}, &parsed, error))
    return false;
  if (parsed.max_days > kMaxEnsembleDays) {
    *error = days_message();
    return false;
  }
  return true;
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

bool names_ensemble_option(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string name = option_name(argv[i]);
    if (is_one_of(name, kValued) || is_one_of(argv[i], kFlags))
      return true;
  }
  return false;
}

bool expand_value_list(const std::string& name, const std::string& list,
                       std::vector<std::string>* values, std::string* error) {
  values->clear();
  const size_t first = list.find(':');
  if (first == std::string::npos) {
    size_t start = 0;
    while (true) {
      const size_t comma = list.find(',', start);
      values->push_back(list.substr(start, comma - start));
      if (comma == std::string::npos)
        break;
      start = comma + 1;
    }
    if (static_cast<long long>(values->size()) <= kMaxValues)
      return true;
    *error = "--vary " + name + ": more than " + std::to_string(kMaxValues) + " values";
    return false;
  }
  const size_t second = list.find(':', first + 1);
  double from = 0, to = 0, step = 0;
  if (second == std::string::npos || !parse_number(list.substr(0, first), &from) ||
      !parse_number(list.substr(first + 1, second - first - 1), &to) ||
      !parse_number(list.substr(second + 1), &step)) {
    *error = "--vary " + name + ": LIST must be A,B,... or FROM:TO:STEP";
    return false;
  }
  if (step == 0.0 || (to - from) / step < 0.0) {
    *error = "--vary " + name + ": STEP must not be 0 and must lead from FROM to TO";
    return false;
  }
  // The tolerance keeps TO when rounding leaves it a hair beyond FROM + k * STEP.
  const double steps = std::floor((to - from) / step + 1e-9);
  if (steps >= static_cast<double>(kMaxValues)) {
    *error = "--vary " + name + ": more than " + std::to_string(kMaxValues) + " values";
    return false;
  }
  for (long long k = 0; k <= static_cast<long long>(steps); ++k)
    values->push_back(format_value(from + static_cast<double>(k) * step));
  return true;
}

bool parse_ensemble_options(int argc, char** argv, uint32_t default_seed, int default_jobs,
                            EnsembleOptions* options, std::string* error) {
  EnsembleOptions& o = *options;
  o.jobs = default_jobs;
  std::vector<std::string> run_args;
  if (!split_arguments(argc, argv, &o, &run_args, error))
    return false;
  BatchOptions& run = o.single;
  if (!check_run_args(run_args, &run, error))
    return false;
  o.help = run.help;
  o.version = run.version;
  if (o.help || o.version)
    return true;
  const uint32_t given_seed = run.seed;
  o.seed = default_seed;
  for (const auto& pair : pair_up(run_args)) {
    if (pair.first == "--seed")
      o.seed = given_seed;
    else
      o.fixed.push_back(pair);
  }
  run.seed = o.seed;
  return check_combination(o, run, error);
}

bool is_single_run(const EnsembleOptions& o) {
  return o.out.empty() && o.merge.empty();
}
