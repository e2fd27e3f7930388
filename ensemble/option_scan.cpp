// SPDX-License-Identifier: MIT
#include "ensemble/option_scan.h"

#include <getopt.h>

#include <algorithm>

#include "params/runner_options.h"
#include "text/quoted_text.h"

namespace {

// Every option name of the two tables: the run parameters that a run takes, the schedules and
// the runner's own.
std::vector<std::string> option_names() {
  std::vector<std::string> names;
  for (const ParamRow& row : param_rows())
    if (row.role == ParamRole::RunParameter)
      names.push_back(row.name);
  for (const ScheduleRow& row : schedule_rows())
    names.push_back(row.name);
  for (const RunnerOption& row : runner_options())
    names.push_back(row.name);
  return names;
}

// What getopt_long reads, pointing into `names`: a flag's value is optional ("=0", "=1").
std::vector<option> long_options(const std::vector<std::string>& names) {
  std::vector<option> longs;
  for (const std::string& name : names) {
    const RunnerOption* own = find_runner_option(name);
    const bool flag = own != nullptr && own->value == OptionValue::Flag;
    longs.push_back({name.c_str(), flag ? optional_argument : required_argument, nullptr, 0});
  }
  longs.push_back({nullptr, 0, nullptr, 0});
  return longs;
}

// "+:" and each one-letter form: stop at the first word that is no option, report a missing
// value as ':'.
std::string short_options() {
  std::string letters = "+:";
  for (const RunnerOption& row : runner_options())
    if (row.letter != '\0')
      letters += row.letter;
  return letters;
}

const RunnerOption* by_letter(int c) {
  for (const RunnerOption& row : runner_options())
    if (row.letter != '\0' && row.letter == c)
      return &row;
  return nullptr;
}

// The word getopt_long just read, up to its '='.
std::string last_word(char** argv, const char* value) {
  const std::string arg =
      argv[value != nullptr && value == argv[optind - 1] ? optind - 2 : optind - 1];
  return arg.substr(0, arg.find('='));
}

bool ends_scan(const std::pair<std::string, std::string>& word) {
  return (word.first == "help" || word.first == "version") && word.second != "0";
}

} // namespace

bool scan_command_line(int argc, char** argv, OptionWords* given, std::string* error) {
  const std::vector<std::string> names = option_names();
  const std::vector<option> longs = long_options(names);
  const std::string letters = short_options();
  optind = 0; // a fresh scan, whatever scanned before
  opterr = 0;
  for (int c; (c = getopt_long(argc, argv, letters.c_str(), longs.data(), nullptr)) != -1;) {
    if (const RunnerOption* row = by_letter(c)) {
      given->emplace_back(row->name, "");
      if (ends_scan(given->back()))
        return true;
      continue;
    }
    const std::string word = c == '?' && optopt != 0 ? std::string("-") + static_cast<char>(optopt)
                                                     : last_word(argv, c == ':' ? nullptr : optarg);
    const std::string name = word.substr(2);
    if (c == '?' || word.rfind("--", 0) != 0 ||
        std::find(names.begin(), names.end(), name) == names.end()) {
      *error = "unknown option " + quoted(word) + " (see --help)";
      return false;
    }
    if (c == ':') {
      *error = word + " needs a value";
      return false;
    }
    given->emplace_back(name, optarg != nullptr ? optarg : "");
    if (ends_scan(given->back()))
      return true;
  }
  if (optind < argc) {
    *error = "unexpected argument " + quoted(argv[optind]) + " (see --help)";
    return false;
  }
  return true;
}
