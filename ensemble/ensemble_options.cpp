// SPDX-License-Identifier: MIT
#include "ensemble/ensemble_options.h"

#include <getopt.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "ensemble/bands_plot.h"
#include "numbers/number_reading.h"
#include "numbers/number_text.h"

namespace {

// A --vary list is bounded before its values are made, however many points they would give.
constexpr long long kMaxValues = 100000;

const char* const kValued[] = {"runs",  "vary",       "jobs", "out",      "merge",
                               "setup", "save-setup", "plot", "plot-days"};
const char* const kFlags[] = {"force", "quiet", "plan", "help", "version"};

// The run options that a sweep may vary: every run parameter of the table, which each take one
// number, and --max-days.
bool is_variable(const std::string& name) {
  const ParamRow* row = find_param(name);
  return name == "max-days" || (row != nullptr && row->role == ParamRole::RunParameter);
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

bool add_varied(const std::string& assignment, EnsembleOptions* o, std::string* error) {
  const size_t eq = assignment.find('=');
  if (eq == std::string::npos || eq == 0) {
    *error = "--vary needs NAME=LIST";
    return false;
  }
  VariedOption v{assignment.substr(0, eq), {}};
  if (!is_variable(v.name)) {
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

bool take_flag(const std::string& name, const std::string& value, EnsembleOptions* o,
               std::string* error) {
  if (value != "" && value != "0" && value != "1") {
    *error = "--" + name + " takes no value, or 0 or 1";
    return false;
  }
  bool& flag = name == "force"   ? o->force
               : name == "quiet" ? o->quiet
               : name == "plan"  ? o->plan
               : name == "help"  ? o->help
                                 : o->version;
  flag = value != "0";
  return true;
}

// A run option given plainly goes to every run of an ensemble: recorded once, the last value
// given winning, as the single run takes it.
void fix(const std::string& name, const std::string& value, EnsembleOptions* o) {
  for (auto& pair : o->fixed)
    if (pair.first == name) {
      pair.second = value;
      return;
    }
  o->fixed.emplace_back(name, value);
}

bool take_option(const std::string& name, const std::string& value, EnsembleOptions* o,
                 std::string* error) {
  if (name == "runs")
    return parse_count("--runs", value, 1, kMaxRunsPerPoint, &o->runs, error);
  if (name == "jobs")
    return parse_count("--jobs", value, 1, 256, &o->jobs, error);
  if (name == "vary")
    return add_varied(value, o, error);
  if (name == "plot")
    return parse_panels(value, &o->plot, error);
  if (name == "plot-days")
    return parse_count("--plot-days", value, 1, kMaxEnsembleDays, &o->plot_days, error);
  if (name == "out" || name == "merge") {
    (name == "out" ? o->out : o->merge) = value;
    if (!value.empty())
      return true;
    *error = "--" + name + " needs a folder";
    return false;
  }
  if (name == "setup")
    return true; // read before every other option, by setup_words
  if (name == "save-setup") {
    o->save_setup = value;
    if (!value.empty())
      return true;
    *error = "--save-setup needs a file path";
    return false;
  }
  if (std::find(std::begin(kFlags), std::end(kFlags), name) != std::end(kFlags))
    return take_flag(name, value, o, error);
  if (!take_run_option(name, value, &o->single, error))
    return false;
  if (name == "seed") {
    o->seed = o->single.seed;
    o->seed_given = true;
  } else
    fix("--" + name, value, o);
  return true;
}

// The long options getopt_long reads: the ensemble's, then every run option of the table's and
// the run's own. Flags take an optional "=0" or "=1".
std::vector<option> long_options(std::vector<std::string>* names) {
  names->assign(std::begin(kValued), std::end(kValued));
  names->insert(names->end(), std::begin(kFlags), std::end(kFlags));
  for (const ParamRow& row : param_rows())
    if (row.role == ParamRole::RunParameter)
      names->push_back(row.name);
  for (const ScheduleRow& row : schedule_rows())
    names->push_back(row.name);
  names->insert(names->end(), {"seed", "max-days", "csv", "report"});
  std::vector<option> longs;
  for (const std::string& name : *names) {
    const bool flag = std::find(std::begin(kFlags), std::end(kFlags), name) != std::end(kFlags);
    longs.push_back({name.c_str(), flag ? optional_argument : required_argument, nullptr, 0});
  }
  longs.push_back({nullptr, 0, nullptr, 0});
  return longs;
}

std::string option_word(const std::string& arg) {
  return arg.substr(0, arg.find('='));
}

// The word getopt_long just read, which must name its option in full: an abbreviation of a long
// name is refused like any unknown option, since a plan or a manifest must not depend on which
// other names exist.
std::string last_word(char** argv, const char* value) {
  return option_word(argv[value != nullptr && value == argv[optind - 1] ? optind - 2 : optind - 1]);
}

bool is_ensemble_option(const std::string& name) {
  return std::find(std::begin(kValued), std::end(kValued), name) != std::end(kValued) ||
         name == "force" || name == "quiet" || name == "plan";
}

bool holds_control(const std::string& text) {
  for (const char c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
      return true;
  return false;
}

// Every argument of an ensemble goes into a line of the plan and of the manifest, and values
// into CSV cells.
bool check_controls(const std::vector<std::pair<std::string, std::string>>& given,
                    std::string* error) {
  for (const auto& [name, value] : given)
    if (holds_control(value)) {
      *error = "an ensemble's arguments must not hold control characters: " + value;
      return false;
    }
  return true;
}

// One pass over the words: each option with its value, in order. Stops at --help or
// --version, which print whatever else was given, and at "--".
bool read_words(int argc, char** argv, std::vector<std::pair<std::string, std::string>>* given,
                std::string* error) {
  std::vector<std::string> names;
  const std::vector<option> longs = long_options(&names);
  optind = 0; // a fresh scan, also when a manifest's plan is read again
  opterr = 0;
  for (int c; (c = getopt_long(argc, argv, "+:h", longs.data(), nullptr)) != -1;) {
    if (c == 'h') {
      given->emplace_back("help", "");
      return true;
    }
    const std::string word = c == '?' && optopt != 0 ? std::string("-") + static_cast<char>(optopt)
                                                     : last_word(argv, c == ':' ? nullptr : optarg);
    const std::string name = word.substr(2);
    if (c == '?' || word.rfind("--", 0) != 0 ||
        std::find(names.begin(), names.end(), name) == names.end()) {
      *error = "unknown option " + word + " (see --help)";
      return false;
    }
    if (c == ':') {
      *error = word + " needs a value";
      return false;
    }
    given->emplace_back(name, optarg != nullptr ? optarg : "");
    if ((name == "help" || name == "version") && given->back().second != "0")
      return true;
  }
  if (optind < argc) {
    *error = std::string("unexpected argument ") + argv[optind] + " (see --help)";
    return false;
  }
  return true;
}

// The [run] values of the last --setup FILE as options, leaving out those the command line varies.
bool setup_words(const std::vector<std::pair<std::string, std::string>>& given, EnsembleOptions* o,
                 std::vector<std::pair<std::string, std::string>>* words, std::string* error) {
  bool named = false;
  std::string path;
  std::vector<std::string> varied;
  for (const auto& [name, value] : given) {
    if (name == "setup") {
      named = true;
      path = value;
    }
    if (name == "vary")
      varied.push_back(value.substr(0, value.find('=')));
  }
  if (!named)
    return true;
  if (path.empty()) {
    *error = "--setup needs a file path";
    return false;
  }
  if (!read_setup(path, &o->setup, error))
    return false;
  for (const auto& word : setup_options(o->setup))
    if (std::find(varied.begin(), varied.end(), word.first) == varied.end())
      words->push_back(word);
  return true;
}

std::string days_message() {
  return "--max-days must be a whole number from 0 to " + std::to_string(kMaxEnsembleDays) +
         " in an ensemble";
}

bool check_combination(const EnsembleOptions& o, const BatchOptions& run, std::string* error) {
  // A merge draws the plot that its manifest records.
  const bool plotted = !o.plot.empty() || o.plot_days > 0;
  if (!o.merge.empty() && (!o.out.empty() || o.plan || o.force || !o.varied.empty() ||
                           o.runs != 1 || !o.fixed.empty() || !o.save_setup.empty() || plotted)) {
    *error = "--merge takes no other options but --quiet";
    return false;
  }
  if (o.out.empty() && o.merge.empty() &&
      (o.runs > 1 || !o.varied.empty() || o.plan || o.force || plotted)) {
    *error = "--out DIR is needed with --runs above 1, --vary, --plan, --force or --plot";
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

// FROM + k * STEP in binary leaves a trace of rounding ("0.30000000000000004" for 0 + 3 * 0.1),
// which fifteen significant digits, all that a double holds of any decimal, leave out.
std::string sweep_value_text(double v) {
  char digits[32];
  const auto written =
      std::to_chars(digits, digits + sizeof digits - 1, v, std::chars_format::scientific, 14);
  *written.ptr = '\0';
  return shortest_text(std::strtod(digits, nullptr));
}

} // namespace

bool check_ensemble_value(const std::string& option, const std::string& value, std::string* error) {
  if (option == "--runs") {
    int runs = 0;
    return parse_count(option, value, 1, kMaxRunsPerPoint, &runs, error);
  }
  BatchOptions parsed;
  const std::string name = option.rfind("--", 0) == 0 ? option.substr(2) : "";
  if (!is_run_option(name)) {
    *error = "unknown option " + option + " (see --help)";
    return false;
  }
  if (!take_run_option(name, value, &parsed, error))
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

bool expand_value_list(const std::string& name, const std::string& list,
                       std::vector<std::string>* values, std::string* error) {
  values->clear();
  const size_t first = list.find(':');
  if (first == std::string::npos) {
    *values = split_commas(list);
    if (static_cast<long long>(values->size()) <= kMaxValues)
      return true;
    *error = "--vary " + name + ": more than " + std::to_string(kMaxValues) + " values";
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
    values->push_back(sweep_value_text(from + static_cast<double>(k) * step));
  return true;
}

bool parse_ensemble_options(int argc, char** argv, uint32_t default_seed, int default_jobs,
                            EnsembleOptions* options, std::string* error) {
  EnsembleOptions& o = *options;
  o.jobs = default_jobs;
  o.seed = default_seed;
  std::vector<std::pair<std::string, std::string>> given;
  if (!read_words(argc, argv, &given, error))
    return false;
  // Help and version need nothing else: a setup that cannot be read must not hide them.
  if (!given.empty() && (given.back().first == "help" || given.back().first == "version") &&
      given.back().second != "0")
    return take_option(given.back().first, given.back().second, &o, error);
  const bool ensemble = std::any_of(given.begin(), given.end(),
                                    [](const auto& g) { return is_ensemble_option(g.first); });
  if (ensemble && !check_controls(given, error))
    return false;
  std::vector<std::pair<std::string, std::string>> words;
  if (!setup_words(given, &o, &words, error))
    return false;
  words.insert(words.end(), given.begin(), given.end());
  for (const auto& [name, value] : words)
    if (!take_option(name, value, &o, error))
      return false;
  if (o.help || o.version)
    return true;
  o.single.seed = o.seed;
  return check_combination(o, o.single, error);
}

bool is_single_run(const EnsembleOptions& o) {
  return o.out.empty() && o.merge.empty();
}

Setup described_setup(const EnsembleOptions& o) {
  Setup s = o.setup;
  s.params = o.single.params;
  s.schedules = o.single.schedules;
  s.has_seed = o.seed_given;
  s.seed = o.seed;
  return s;
}
