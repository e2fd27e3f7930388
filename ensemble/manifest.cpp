// SPDX-License-Identifier: MIT
#include "ensemble/manifest.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "ensemble/bands_plot.h"
#include "ensemble/ensemble_options.h"
#include "ensemble/option_checks.h"
#include "fileio/atomic_file.h"
#include "fileio/regular_file.h"
#include "numbers/number_reading.h"

namespace {

const char* const kMagic = "epidemic_batch-manifest";

std::string escape(const std::string& text) {
  std::string out;
  for (const char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == '\\' || c == '\t' || c == '\n' || u < 0x20 || u == 0x7f) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02x", u);
      out += hex;
    } else {
      out += c;
    }
  }
  return out;
}

bool unescape(const std::string& text, std::string* out) {
  out->clear();
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char u = static_cast<unsigned char>(text[i]);
    if (text[i] != '\\' && (u < 0x20 || u == 0x7f))
      return false;
    if (text[i] != '\\') {
      *out += text[i];
      continue;
    }
    // escape() leaves no other escape in a manifest: the option parser refuses control
    // characters in an ensemble's arguments, so only a backslash is ever escaped.
    if (text.compare(i, 4, "\\x5c") != 0)
      return false;
    *out += '\\';
    i += 3;
  }
  return true;
}

void write_record(std::FILE* out, const std::vector<std::string>& fields) {
  for (size_t i = 0; i < fields.size(); ++i)
    std::fprintf(out, "%s%s", i == 0 ? "" : "\t", escape(fields[i]).c_str());
  std::fputc('\n', out);
}

bool split_record(const std::string& line, std::vector<std::string>* fields) {
  fields->clear();
  size_t start = 0;
  while (true) {
    const size_t tab = line.find('\t', start);
    std::string field;
    if (!unescape(line.substr(start, tab - start), &field))
      return false;
    fields->push_back(field);
    if (tab == std::string::npos)
      return true;
    start = tab + 1;
  }
}

// The records in the order the writer writes them: whether each must stand, and whether it may
// stand more than once.
struct Key {
  const char* name;
  bool needed, repeated;
};
const Key kKeys[] = {{kMagic, true, false},  {"command", true, false}, {"seed", true, false},
                     {"runs", true, false},  {"plot", false, false},   {"plot-days", false, false},
                     {"fixed", false, true}, {"varied", false, true},  {"point", false, true}};
constexpr int kKeyCount = sizeof kKeys / sizeof kKeys[0];
// Far above a manifest at the caps: kMaxPoints lines of at most 16 values, and a command line
// within the system's room for arguments.
constexpr size_t kManifestBytes = 16u << 20;

// The order of the record's key, or "" when it is one the writer makes at this place.
std::string check_order(const std::string& key, int* last) {
  const int rank = static_cast<int>(
      std::find_if(kKeys, kKeys + kKeyCount, [&key](const Key& k) { return key == k.name; }) -
      kKeys);
  if (rank == kKeyCount)
    return "not a line of an ensemble manifest";
  bool ok = rank > *last || (rank == *last && kKeys[rank].repeated);
  for (int skipped = *last + 1; skipped < rank; ++skipped)
    ok = ok && !kKeys[skipped].needed;
  *last = rank;
  return ok ? "" : "a " + key + " line out of place or given twice";
}

// A plot record's value, which must read back as the writer writes it: no other spelling of the
// same choice passes either.
std::string take_plot(const std::string& key, const std::string& value, Plan* plan) {
  std::string why;
  if (key == "plot" && parse_panels(value, &plan->plot, &why) && panels_text(plan->plot) != value)
    why = "not a plot line as this program writes it";
  long long days = 0;
  if (key == "plot-days") {
    if (parse_whole_number(value, 1, kMaxEnsembleDays, &days) && std::to_string(days) == value)
      plan->plot_days = static_cast<int>(days);
    else
      why = "not a plot-days line as this program writes it";
  }
  return why;
}

// Takes one record into the plan; returns why it is not one the writer makes, or "".
std::string take_record(const std::vector<std::string>& f, int* last, Plan* plan) {
  const std::string& key = f[0];
  std::string why = check_order(key, last);
  if (!why.empty())
    return why;
  const size_t fields = key == "point" ? plan->varied_names.size() + 1 : key == "fixed" ? 3 : 2;
  if (f.size() != fields || (key == kMagic && f[1] != "1"))
    return "not a " + key + " line of an ensemble manifest";
  if (key == "seed" && check_ensemble_value("--seed", f[1], &why))
    plan->seed = static_cast<uint32_t>(std::stoull(f[1]));
  else if (key == "runs" && check_ensemble_value("--runs", f[1], &why))
    plan->runs = std::stoi(f[1]);
  else if (key == "fixed" && check_ensemble_value(f[1], f[2], &why))
    plan->fixed.emplace_back(f[1], f[2]);
  else if (key == "plot" || key == "plot-days")
    why = take_plot(key, f[1], plan);
  else if (key == "varied")
    plan->varied_names.push_back(f[1]);
  else if (key == "point")
    for (size_t v = 0; why.empty() && v < plan->varied_names.size(); ++v)
      check_ensemble_value("--" + plan->varied_names[v], f[v + 1], &why);
  if (why.empty() && key == "point" &&
      check_ensemble_size(static_cast<long long>(plan->points.size()) + 1, plan->runs, &why))
    plan->points.emplace_back(f.begin() + 1, f.end());
  return why;
}

// The plan as options for the ensemble's own checks, which refuse what they would refuse when
// typed: a varied option that is no run option, given twice or also fixed, a --csv.
std::string check_plan(const Plan& plan) {
  if (plan.points.empty())
    return "not an ensemble manifest: no point";
  OptionWords words{
      {"seed", std::to_string(plan.seed)}, {"runs", std::to_string(plan.runs)}, {"out", "."}};
  for (const auto& [name, value] : plan.fixed)
    words.emplace_back(name.substr(2), value);
  for (size_t v = 0; v < plan.varied_names.size(); ++v)
    words.emplace_back("vary", plan.varied_names[v] + "=" + plan.points[0][v]);
  EnsembleOptions o;
  std::string why;
  if (!read_ensemble_options(words, 0, 1, &o, &why))
    return why;
  return o.fixed == plan.fixed ? "" : "a fixed option that is no run option";
}

} // namespace

bool write_manifest(const Plan& plan, const std::string& command, std::string* error) {
  AtomicFile file(plan.dir + "/manifest.txt", AtomicFile::Links::kReplace);
  if (!file.open(error))
    return false;
  std::FILE* out = file.stream();
  write_record(out, {kMagic, "1"});
  std::fprintf(out, "command\t%s\n", escape(command).c_str());
  write_record(out, {"seed", std::to_string(plan.seed)});
  write_record(out, {"runs", std::to_string(plan.runs)});
  if (!plan.plot.empty())
    write_record(out, {"plot", panels_text(plan.plot)});
  if (plan.plot_days > 0)
    write_record(out, {"plot-days", std::to_string(plan.plot_days)});
  for (const auto& [name, value] : plan.fixed)
    write_record(out, {"fixed", name, value});
  for (const std::string& name : plan.varied_names)
    write_record(out, {"varied", name});
  for (const std::vector<std::string>& point : plan.points) {
    std::vector<std::string> fields{"point"};
    fields.insert(fields.end(), point.begin(), point.end());
    write_record(out, fields);
  }
  return file.commit(error);
}

bool read_manifest(const std::string& dir, Plan* plan, std::string* error) {
  const std::string path = dir + "/manifest.txt";
  std::string text;
  if (!read_regular_file(path, kManifestBytes, &text, error))
    return false;
  *plan = Plan();
  plan->dir = dir;
  std::vector<std::string> fields;
  int last = -1;
  long long number = 0;
  for (size_t at = 0; at < text.size(); ++number) {
    const size_t end = text.find('\n', at);
    std::string why;
    if (end == std::string::npos)
      why = "a line cut short, without its newline";
    else if (!split_record(text.substr(at, end - at), &fields))
      why = "an escape or control character that no manifest holds";
    else
      why = take_record(fields, &last, plan);
    if (!why.empty()) {
      *error = path + ":" + std::to_string(number + 1) + ": " + why;
      return false;
    }
    at = end + 1;
  }
  const std::string why = check_plan(*plan);
  if (!why.empty())
    *error = path + ": " + why;
  return why.empty();
}
