// SPDX-License-Identifier: MIT
#include "ensemble/ensemble_options.h"

#include <algorithm>

#include "ensemble/bands_plot.h"
#include "ensemble/option_checks.h"

namespace {

using Options = EnsembleOptions;

// Where a runner's own option puts its value; --vary, --plot and --setup are read apart.
struct Target {
  const char* name;
  int Options::*number;
  bool Options::*flag;
  std::string Options::*text;
};
const Target kTargets[] = {
    {"runs", &Options::runs, nullptr, nullptr},
    {"jobs", &Options::jobs, nullptr, nullptr},
    {"plot-days", &Options::plot_days, nullptr, nullptr},
    {"trials", &Options::trials, nullptr, nullptr},
    {"fit", nullptr, nullptr, &Options::fit},
    {"out", nullptr, nullptr, &Options::out},
    {"merge", nullptr, nullptr, &Options::merge},
    {"save-setup", nullptr, nullptr, &Options::save_setup},
    {"force", nullptr, &Options::force, nullptr},
    {"quiet", nullptr, &Options::quiet, nullptr},
    {"plan", nullptr, &Options::plan, nullptr},
    {"help", nullptr, &Options::help, nullptr},
    {"version", nullptr, &Options::version, nullptr},
};

void store(const std::string& name, const std::string& text, long long number, Options* o) {
  for (const Target& t : kTargets)
    if (name == t.name) {
      if (t.number)
        o->*t.number = static_cast<int>(number);
      if (t.flag)
        o->*t.flag = number != 0;
      if (t.text)
        o->*t.text = text;
    }
}

bool add_varied(const std::string& assignment, Options* o, std::string* error) {
  VariedOption v;
  if (!read_varied(assignment, o->varied, &v, error))
    return false;
  o->varied.push_back(v);
  return true;
}

// A run option given plainly goes to every run of an ensemble: recorded once, the last value
// given winning, as the single run takes it.
void fix(const std::string& name, const std::string& value, Options* o) {
  for (auto& pair : o->fixed)
    if (pair.first == name) {
      pair.second = value;
      return;
    }
  o->fixed.emplace_back(name, value);
}

// A run parameter, a schedule, or one of a single run's own options.
bool take_run_word(const std::string& name, const std::string& value, Options* o,
                   std::string* error) {
  if (!take_run_option(name, value, &o->single, error))
    return false;
  if (name == "seed") {
    o->seed = o->single.seed;
    o->seed_given = true;
  } else {
    fix("--" + name, value, o);
  }
  return true;
}

bool take_option(const std::string& name, const std::string& value, Options* o,
                 std::string* error) {
  const RunnerOption* own = find_runner_option(name);
  if (own == nullptr || own->group == OptionGroup::Run)
    return take_run_word(name, value, o, error);
  long long number = 0;
  if (!read_runner_value(*own, value, &number, error))
    return false;
  if (name == "vary")
    return add_varied(value, o, error);
  if (name == "plot")
    return parse_panels(value, &o->plot, error);
  o->runs_given = o->runs_given || name == "runs";
  o->fit_options = o->fit_options || (own->group == OptionGroup::Fit && name != "fit");
  if (name == "fit-param" || name == "fit-weight")
    (name == "fit-param" ? o->fit_params : o->fit_weights).push_back(value);
  store(name, value, number, o);
  return true;
}

bool holds_control(const std::string& text) {
  for (const char c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
      return true;
  return false;
}

// Every argument of an ensemble goes into a line of the plan and of the manifest, and values
// into CSV cells; a fit's into CSV cells and a plot's title.
bool check_controls(const OptionWords& given, std::string* error) {
  const bool ensemble = std::any_of(given.begin(), given.end(), [](const auto& word) {
    const RunnerOption* own = find_runner_option(word.first);
    return own != nullptr &&
           (own->group == OptionGroup::Ensemble || own->group == OptionGroup::Fit);
  });
  for (const auto& [name, value] : given)
    if (ensemble && holds_control(value)) {
      *error = "an ensemble's arguments must not hold control characters: " + value;
      return false;
    }
  return true;
}

// The [run] values of the last --setup FILE as options, leaving out those the options vary or
// fit: an option given for them is refused, the setup's value is not.
bool setup_words(const OptionWords& given, Options* o, OptionWords* words, std::string* error) {
  const auto last = std::find_if(given.rbegin(), given.rend(),
                                 [](const auto& word) { return word.first == "setup"; });
  long long unused = 0;
  if (last == given.rend())
    return true;
  if (!read_runner_value(*find_runner_option("setup"), last->second, &unused, error) ||
      !read_setup(last->second, &o->setup, error))
    return false;
  std::vector<std::string> varied;
  for (const auto& [name, value] : given)
    if (name == "vary" || name == "fit-param")
      varied.push_back(value.substr(0, value.find('=')));
  for (const auto& word : setup_options(o->setup))
    if (std::find(varied.begin(), varied.end(), word.first) == varied.end())
      words->push_back(word);
  return true;
}

bool ends_with_help(const OptionWords& given) {
  return !given.empty() && (given.back().first == "help" || given.back().first == "version") &&
         given.back().second != "0";
}

} // namespace

bool read_ensemble_options(const OptionWords& given, uint32_t default_seed, int default_jobs,
                           EnsembleOptions* options, std::string* error) {
  EnsembleOptions& o = *options;
  o.jobs = default_jobs;
  o.seed = default_seed;
  // Help and version need nothing else: a setup that cannot be read must not hide them.
  if (ends_with_help(given))
    return take_option(given.back().first, given.back().second, &o, error);
  OptionWords words;
  if (!check_controls(given, error) || !setup_words(given, &o, &words, error))
    return false;
  words.insert(words.end(), given.begin(), given.end());
  for (const auto& [name, value] : words)
    if (!take_option(name, value, &o, error))
      return false;
  if (o.help || o.version)
    return true;
  o.single.seed = o.seed;
  return check_combination(o, error);
}

bool parse_ensemble_options(int argc, char** argv, uint32_t default_seed, int default_jobs,
                            EnsembleOptions* options, std::string* error) {
  OptionWords given;
  return scan_command_line(argc, argv, &given, error) &&
         read_ensemble_options(given, default_seed, default_jobs, options, error);
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
