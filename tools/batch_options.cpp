// SPDX-License-Identifier: MIT
#include "tools/batch_options.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Ranges are those of the control panel's controls, so a batch run can only be one the
// panel could have started.
struct IntOption {
  const char* name;
  long long low;
  long long high;
  int* target;
};

// strtod would also take leading spaces, which no number of ours holds.
bool parse_real(const char* text, double* out) {
  if (*text == '\0' || std::isspace(static_cast<unsigned char>(*text)))
    return false;
  char* end = nullptr;
  const double v = std::strtod(text, &end);
  if (*end != '\0' || !std::isfinite(v))
    return false;
  *out = v;
  return true;
}

std::string range_message(const char* name, long long low, long long high) {
  return std::string(name) + " must be a whole number from " + std::to_string(low) + " to " +
         std::to_string(high);
}

// "D:V,D:V,...": 1 to 10 setpoints in the editor's day order; the rest stay unused.
bool parse_schedule(const char* text, PolicyArray* policy) {
  for (Setpoint& s : policy->entry)
    s = {-1, 0.0};
  std::vector<std::string> items;
  std::string all(text);
  size_t start = 0;
  while (true) {
    const size_t comma = all.find(',', start);
    items.push_back(all.substr(start, comma - start));
    if (comma == std::string::npos)
      break;
    start = comma + 1;
  }
  if (items.empty() || items.size() > static_cast<size_t>(kSetpoints))
    return false;
  int days[kSetpoints];
  for (int i = 0; i < kSetpoints; ++i)
    days[i] = -1;
  for (size_t i = 0; i < items.size(); ++i) {
    const size_t colon = items[i].find(':');
    if (colon == std::string::npos)
      return false;
    long long d = 0;
    double v = 0.0;
    if (!parse_whole_number(items[i].substr(0, colon), -1, 2147483647, &d) ||
        !parse_real(items[i].substr(colon + 1).c_str(), &v))
      return false;
    days[i] = static_cast<int>(d);
    (*policy)[static_cast<int>(i)] = {days[i], v};
  }
  return first_day_out_of_order(days) < 0;
}

const char* const kScheduleRule =
    " must be 1 to 10 setpoints DAY:VALUE separated by commas, with whole days rising "
    "(-1 = not used) and finite values";

} // namespace

const char* const kBatchVersionLine = "epidemic_batch " EPI_VERSION "\n";

const char* const kBatchUsage =
    "usage: epidemic_batch [options]\n"
    "Runs one epidemic without a window and prints the end-of-run report line.\n"
    "  --population N          0..350000 (50000)\n"
    "  --infection-rate N      0..100 (15)\n"
    "  --infection-length N    1..90 (30)\n"
    "  --ambulatory-days N     1..90 (7)\n"
    "  --inactivity N          0..100 (10)\n"
    "  --initially-infected N  1..1000 (10)\n"
    "  --arena-size N          100..1080 (400)\n"
    "  --daily-interactions N  1..24 (8)\n"
    "  --immunity-duration N   0..2000 (730)\n"
    "  --drivers N             0..100 (0)\n"
    "  --destinations N        0..1000 (0)\n"
    "  --death-rate N          0..100, whole percent (0)\n"
    "  --quarantine-rate R     0..100 (0.5)\n"
    "  --hard-edge 0|1         (1)\n"
    "  --lockdown 0|1          (1)\n"
    "  --seed N                0..4294967295 (the time)\n"
    "  --max-days N            0..2147483646: stop once the day exceeds N (32768)\n"
    "  --csv PATH              write the daily samples as CSV\n"
    "  --report PATH           also write the report line, then \"TOTAL DEAD: N\", to PATH\n"
    "  --inactivity-schedule \"D:V,...\"  1 to 10 setpoints for the inactivity\n"
    "  --quarantine-schedule \"D:V,...\"  1 to 10 setpoints for the quarantine rate\n"
    "  --help                  this text\n"
    "  --version               the program's name and version\n"
    "Ensembles and sweeps (each run in its own process):\n"
    "  --runs N                1..100000 runs per point, seeds SEED+0 .. SEED+N-1 (1)\n"
    "  --vary NAME=LIST        a run option without dashes over a LIST of values, either\n"
    "                          A,B,C or FROM:TO:STEP; repeat for a cartesian product\n"
    "  --jobs J                1..256 runs at once (the processors online)\n"
    "  --out DIR               where the run files, runs.csv, ends.csv, summary.csv and\n"
    "                          bands.png go; a new or empty folder\n"
    "  --force                 use DIR even when it is not empty\n"
    "  --quiet                 no progress line on stderr\n"
    "  --plan                  write DIR's manifest and print one command per run\n"
    "  --merge DIR             merge the run files of a planned DIR\n";

bool parse_batch_options(int argc, char** argv, uint32_t default_seed, BatchOptions* options,
                         std::string* error) {
  BatchOptions& o = *options;
  o.seed = default_seed;
  RunParameters& p = o.params;
  int seed_holder = 0;
  const IntOption ints[] = {
      {"--population", 0, kMaxPopulation, &p.population},
      {"--infection-rate", 0, 100, &p.infection_rate},
      {"--infection-length", 1, 90, &p.infection_length},
      {"--ambulatory-days", 1, 90, &p.ambulatory_days},
      {"--inactivity", 0, 100, &p.inactivity},
      {"--initially-infected", 1, 1000, &p.initially_infected},
      {"--arena-size", 100, 1080, &p.arena_size},
      {"--daily-interactions", 1, 24, &p.daily_interactions},
      {"--immunity-duration", 0, 2000, &p.immunity_duration},
      {"--drivers", 0, 100, &p.drivers_pct},
      {"--destinations", 0, 1000, &p.destination_count},
      {"--death-rate", 0, 100, &p.death_rate},
      {"--hard-edge", 0, 1, &p.hard_edge},
      {"--lockdown", 0, 1, &p.lockdown},
      {"--max-days", 0, 2147483646, &o.max_days},
      {"--seed", 0, 4294967295LL, &seed_holder},
  };
  bool seed_given = false;
  long long seed_value = 0;

  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "--version") {
      (arg == "--help" ? o.help : o.version) = true;
      return true;
    }
    std::string value;
    const size_t eq = arg.find('=');
    if (arg.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = arg.substr(eq + 1);
      arg = arg.substr(0, eq);
    } else if (i + 1 < argc) {
      value = argv[++i];
    } else {
      *error = arg.rfind("--", 0) == 0 ? arg + " needs a value" : "unknown argument " + arg;
      return false;
    }

    bool known = false;
    for (const IntOption& opt : ints) {
      if (arg != opt.name)
        continue;
      known = true;
      long long v = 0;
      if (!parse_whole_number(value, opt.low, opt.high, &v)) {
        *error = range_message(opt.name, opt.low, opt.high);
        return false;
      }
      if (opt.target == &seed_holder) {
        seed_given = true;
        seed_value = v;
      } else {
        *opt.target = static_cast<int>(v);
      }
    }
    if (known)
      continue;
    if (arg == "--quarantine-rate") {
      double v = 0.0;
      if (!parse_real(value.c_str(), &v) || v < 0.0 || v > 100.0) {
        *error = "--quarantine-rate must be a number from 0 to 100";
        return false;
      }
      p.quarantine_rate = v;
    } else if (arg == "--csv") {
      if (value.empty()) {
        *error = "--csv needs a file path";
        return false;
      }
      o.csv_path = value;
    } else if (arg == "--report") {
      if (value.empty()) {
        *error = "--report needs a file path";
        return false;
      }
      o.report_path = value;
    } else if (arg == "--inactivity-schedule") {
      if (!parse_schedule(value.c_str(), &o.inactivity_schedule)) {
        *error = std::string("--inactivity-schedule") + kScheduleRule;
        return false;
      }
      o.inactivity_schedule_on = true;
    } else if (arg == "--quarantine-schedule") {
      if (!parse_schedule(value.c_str(), &o.quarantine_schedule)) {
        *error = std::string("--quarantine-schedule") + kScheduleRule;
        return false;
      }
      o.quarantine_schedule_on = true;
    } else {
      *error = "unknown option " + arg + " (see --help)";
      return false;
    }
  }
  if (seed_given)
    o.seed = static_cast<uint32_t>(seed_value);
  return true;
}

bool parse_whole_number(const std::string& text, long long low, long long high, long long* out) {
  const size_t digits = text.rfind('-', 0) == 0 ? 1 : 0;
  if (text.size() == digits || text.size() - digits > 18 ||
      text.find_first_not_of("0123456789", digits) != std::string::npos)
    return false;
  const long long v = std::strtoll(text.c_str(), nullptr, 10);
  if (v < low || v > high)
    return false;
  *out = v;
  return true;
}

std::string escape_controls(const std::string& text) {
  std::string out;
  for (const char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u != 0x7f) {
      out += c;
      continue;
    }
    switch (c) {
    case '\n':
      out += "\\n";
      break;
    case '\r':
      out += "\\r";
      break;
    case '\t':
      out += "\\t";
      break;
    default: {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02x", u);
      out += hex;
    }
    }
  }
  return out;
}
