// SPDX-License-Identifier: MIT
#include "ensemble/manifest_checks.h"

#include <algorithm>

#include "ensemble/bands_plot.h"
#include "ensemble/ensemble_options.h"

namespace {

bool fail(long long line, const std::string& why, std::string* error) {
  *error = std::to_string(line) + ": " + why;
  return false;
}

std::string joined(const std::vector<std::string>& values) {
  std::string text;
  for (const std::string& v : values)
    text += (text.empty() ? "" : " ") + v;
  return text;
}

// The command's options as its words read, --setup's left out; false unless an ensemble's.
bool command_options(const std::string& command, long long line, EnsembleOptions* o,
                     bool* has_setup, std::string* error) {
  std::vector<std::string> words;
  if (!shell_words(command, &words))
    return fail(line, "not a command line as this program writes it", error);
  std::vector<char*> argv;
  for (std::string& word : words)
    argv.push_back(word.data());
  OptionWords given, kept;
  std::string why;
  if (!scan_command_line(static_cast<int>(argv.size()), argv.data(), &given, &why))
    return fail(line, "the command: " + why, error);
  for (const auto& word : given)
    if (word.first != "setup")
      kept.push_back(word);
  *has_setup = kept.size() != given.size();
  if (!read_ensemble_options(kept, 0, 1, o, &why))
    return fail(line, "the command: " + why, error);
  return !o->out.empty() || fail(line, "not the command of an ensemble", error);
}

bool check_counts(const Plan& plan, const EnsembleOptions& o, const RecordLines& lines,
                  std::string* error) {
  const std::string given = " where the command on line " + std::to_string(lines.command);
  if (plan.runs != o.runs)
    return fail(lines.runs,
                "runs " + std::to_string(plan.runs) + given + " gives " + std::to_string(o.runs),
                error);
  if (o.seed_given && plan.seed != o.seed)
    return fail(lines.seed,
                "seed " + std::to_string(plan.seed) + given + " gives " + std::to_string(o.seed),
                error);
  if (plan.plot != o.plot)
    return fail(lines.plot ? lines.plot : lines.command, "not the --plot of the command", error);
  if (plan.plot_days != o.plot_days)
    return fail(lines.plot_days ? lines.plot_days : lines.command,
                "not the --plot-days of the command", error);
  return true;
}

// Without --setup, only the command's run options as fixed lines; each of them there, as given.
bool check_fixed(const Plan& plan, const EnsembleOptions& o, bool has_setup,
                 const RecordLines& lines, std::string* error) {
  const auto& fixed = plan.fixed;
  const auto find = [](const auto& list, const std::string& name) {
    return std::find_if(list.begin(), list.end(), [&](const auto& f) { return f.first == name; });
  };
  for (size_t f = 0; !has_setup && f < fixed.size(); ++f)
    if (find(o.fixed, fixed[f].first) == o.fixed.end())
      return fail(lines.fixed + static_cast<long long>(f),
                  fixed[f].first + ", which the command on line " + std::to_string(lines.command) +
                      " does not give",
                  error);
  for (const auto& [name, value] : o.fixed) {
    const auto at = find(fixed, name);
    if (at == fixed.end())
      return fail(lines.command,
                  "the command gives " + name + " " + value + ", which no fixed line holds", error);
    if (at->second != value)
      return fail(lines.fixed + (at - fixed.begin()),
                  name + " " + at->second + " where the command on line " +
                      std::to_string(lines.command) + " gives " + value,
                  error);
  }
  return true;
}

bool check_varied(const Plan& plan, const EnsembleOptions& o, const RecordLines& lines,
                  std::string* error) {
  const size_t named = plan.varied_names.size(), varied = o.varied.size();
  const std::string command = "the command on line " + std::to_string(lines.command);
  for (size_t v = 0; v < std::max(named, varied); ++v) {
    const long long line = lines.varied + static_cast<long long>(v);
    if (v >= named)
      return fail(lines.command,
                  "the command varies " + o.varied[v].name + ", which no varied line names", error);
    if (v >= varied || plan.varied_names[v] != o.varied[v].name)
      return fail(line,
                  "varied " + plan.varied_names[v] + " where " + command +
                      (v < varied ? " varies " + o.varied[v].name : " varies no more"),
                  error);
  }
  return true;
}

bool check_points(const Plan& plan, const EnsembleOptions& o, const RecordLines& lines,
                  std::string* error) {
  const std::vector<std::vector<std::string>> points = cartesian_points(o.varied);
  const std::string count = std::to_string(points.size());
  for (size_t p = 0; p < std::min(points.size(), plan.points.size()); ++p)
    if (plan.points[p] != points[p])
      return fail(lines.point + static_cast<long long>(p),
                  "point " + joined(plan.points[p]) + " where the command's --vary gives " +
                      joined(points[p]),
                  error);
  if (plan.points.size() < points.size())
    return fail(lines.end,
                "the command's --vary gives " + count + " points, the manifest " +
                    std::to_string(plan.points.size()),
                error);
  if (plan.points.size() > points.size())
    return fail(lines.point + static_cast<long long>(points.size()),
                "a point beyond the " + count + " that the command's --vary gives", error);
  return true;
}

} // namespace

bool check_against_command(const Plan& plan, const std::string& command, const RecordLines& lines,
                           std::string* error) {
  EnsembleOptions o;
  bool has_setup = false;
  return command_options(command, lines.command, &o, &has_setup, error) &&
         check_counts(plan, o, lines, error) && check_fixed(plan, o, has_setup, lines, error) &&
         check_varied(plan, o, lines, error) && check_points(plan, o, lines, error);
}
