// SPDX-License-Identifier: MIT
#include "ensemble/manifest.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "ensemble/bands_plot.h"
#include "ensemble/manifest_checks.h"
#include "ensemble/manifest_lines.h"
#include "ensemble/option_checks.h"
#include "fileio/atomic_file.h"
#include "fileio/regular_file.h"
#include "numbers/number_reading.h"

namespace {

const char* const kMagic = "epidemic_batch-manifest";
// 2: the manifest ends with its digest.
const char* const kVersion = "2";

// The records in the order the writer writes them: whether each must stand, whether it may
// stand more than once, and where the reader notes the line it starts at.
struct Key {
  const char* name;
  bool needed, repeated;
  long long RecordLines::*line;
};
const Key kKeys[] = {{kMagic, true, false, nullptr},
                     {"command", true, false, &RecordLines::command},
                     {"seed", true, false, &RecordLines::seed},
                     {"runs", true, false, &RecordLines::runs},
                     {"plot", false, false, &RecordLines::plot},
                     {"plot-days", false, false, &RecordLines::plot_days},
                     {"fixed", false, true, &RecordLines::fixed},
                     {"varied", false, true, &RecordLines::varied},
                     {"point", false, true, &RecordLines::point},
                     {"digest", true, false, &RecordLines::end}};
constexpr int kKeyCount = sizeof kKeys / sizeof kKeys[0];
// Far above a manifest at the caps: kMaxPoints lines of at most 16 values, and a command line
// within the system's room for arguments.
constexpr size_t kManifestBytes = 16u << 20;

// What the reader has taken so far.
struct Reading {
  Plan* plan;
  std::string command;
  std::string digest; // the digest line's, and what the lines above it give
  std::string computed;
  int last = -1; // the rank of the last key read
  RecordLines lines;
};

// The rank of the record's key, or -1 unless the writer makes it at this place; its first line
// noted.
int check_order(const std::string& key, long long number, Reading* r, std::string* why) {
  const int rank = static_cast<int>(
      std::find_if(kKeys, kKeys + kKeyCount, [&key](const Key& k) { return key == k.name; }) -
      kKeys);
  if (rank == kKeyCount) {
    *why = "not a line of an ensemble manifest";
    return -1;
  }
  bool ok = rank > r->last || (rank == r->last && kKeys[rank].repeated);
  for (int skipped = r->last + 1; skipped < rank; ++skipped)
    ok = ok && !kKeys[skipped].needed;
  if (!ok) {
    *why = "a " + key + " line out of place or given twice";
    return -1;
  }
  if (rank != r->last && kKeys[rank].line)
    r->lines.*kKeys[rank].line = number;
  r->last = rank;
  return rank;
}

// A whole number as the writer writes it: no other spelling of the same value passes either.
std::string take_whole(const std::string& key, const std::string& text, long long low,
                       long long high, long long* out) {
  std::string why;
  if (key != "plot-days" && !check_ensemble_value("--" + key, text, &why))
    return why;
  if (parse_whole_number(text, low, high, out) && std::to_string(*out) == text)
    return "";
  return "not a " + key + " line as this program writes it";
}

// The values of the records that hold one value.
std::string take_value(const std::string& key, const std::string& value, Plan* plan) {
  std::string why;
  long long number = 0;
  if (key == "seed" && (why = take_whole(key, value, 0, UINT32_MAX, &number)).empty())
    plan->seed = static_cast<uint32_t>(number);
  if (key == "runs" && (why = take_whole(key, value, 1, kMaxRunsPerPoint, &number)).empty())
    plan->runs = static_cast<int>(number);
  if (key == "plot-days" && (why = take_whole(key, value, 1, kMaxEnsembleDays, &number)).empty())
    plan->plot_days = static_cast<int>(number);
  if (key == "plot" && parse_panels(value, &plan->plot, &why) && panels_text(plan->plot) != value)
    why = "not a plot line as this program writes it";
  if (key == "varied")
    plan->varied_names.push_back(value);
  return why;
}

std::string take_point(const std::vector<std::string>& f, Plan* plan) {
  std::string why;
  for (size_t v = 0; why.empty() && v < plan->varied_names.size(); ++v)
    check_ensemble_value("--" + plan->varied_names[v], f[v + 1], &why);
  if (why.empty() &&
      check_ensemble_size(static_cast<long long>(plan->points.size()) + 1, plan->runs, &why))
    plan->points.emplace_back(f.begin() + 1, f.end());
  return why;
}

// Takes one record of line `number`; returns why it is not one the writer makes, or "".
std::string take_record(const std::vector<std::string>& f, long long number, Reading* r) {
  const std::string& key = f[0];
  std::string why;
  if (check_order(key, number, r, &why) < 0)
    return why;
  const size_t fields = key == "point" ? r->plan->varied_names.size() + 1 : key == "fixed" ? 3 : 2;
  if (f.size() != fields || (key == kMagic && f[1] != kVersion))
    return "not a " + key + " line of an ensemble manifest";
  if (key == "command")
    r->command = f[1];
  else if (key == "digest")
    r->digest = f[1];
  else if (key == "fixed") {
    if (check_ensemble_value(f[1], f[2], &why))
      r->plan->fixed.emplace_back(f[1], f[2]);
  } else if (key == "point")
    why = take_point(f, r->plan);
  else if (key != kMagic)
    why = take_value(key, f[1], r->plan);
  return why;
}

// Every line, each taken as the writer makes it; false with "LINE: REASON" at the first other.
bool read_lines(const std::string& text, Reading* r, std::string* error) {
  std::vector<std::string> fields;
  long long number = 1;
  for (size_t at = 0; at < text.size(); ++number) {
    const size_t end = text.find('\n', at);
    std::string why;
    if (r->last == kKeyCount - 1)
      why = "a line after the digest";
    else if (end == std::string::npos)
      why = "a line cut short, without its newline";
    else if (!split_record(text.substr(at, end - at), &fields))
      why = "an escape or control character that no manifest holds";
    else if ((why = take_record(fields, number, r)).empty() && fields[0] == "digest")
      r->computed = manifest_digest(text.substr(0, at));
    if (!why.empty()) {
      *error = std::to_string(number) + ": " + why;
      return false;
    }
    at = end + 1;
  }
  if (r->last == kKeyCount - 1)
    return true;
  *error = std::to_string(number) + ": no digest line, which ends every manifest";
  return false;
}

} // namespace

bool write_manifest(const Plan& plan, const std::string& command, std::string* error) {
  std::string text = record_line({kMagic, kVersion}) + record_line({"command", command}) +
                     record_line({"seed", std::to_string(plan.seed)}) +
                     record_line({"runs", std::to_string(plan.runs)});
  if (!plan.plot.empty())
    text += record_line({"plot", panels_text(plan.plot)});
  if (plan.plot_days > 0)
    text += record_line({"plot-days", std::to_string(plan.plot_days)});
  for (const auto& [name, value] : plan.fixed)
    text += record_line({"fixed", name, value});
  for (const std::string& name : plan.varied_names)
    text += record_line({"varied", name});
  for (const std::vector<std::string>& point : plan.points) {
    std::vector<std::string> fields{"point"};
    fields.insert(fields.end(), point.begin(), point.end());
    text += record_line(fields);
  }
  text += record_line({"digest", manifest_digest(text)});
  AtomicFile file(plan.dir + "/manifest.txt", AtomicFile::Links::kReplace);
  if (!file.open(error))
    return false;
  std::fputs(text.c_str(), file.stream());
  return file.commit(error);
}

// The lines one by one, then against the command, then the digest, which shows what the lines
// alone cannot: a seed or a setup's value that the command does not name, changed.
bool read_manifest(const std::string& dir, Plan* plan, std::string* error) {
  const std::string path = dir + "/manifest.txt";
  std::string text;
  if (!read_regular_file(path, kManifestBytes, &text, error))
    return false;
  *plan = Plan();
  plan->dir = dir;
  Reading r{plan, "", "", "", -1, {}};
  std::string why;
  if (read_lines(text, &r, &why) && check_against_command(*plan, r.command, r.lines, &why) &&
      r.digest == r.computed)
    return true;
  if (why.empty())
    why = std::to_string(r.lines.end) + ": the digest of the lines above differs: they were " +
          "changed after this program wrote them";
  *error = path + ":" + why;
  return false;
}
