// SPDX-License-Identifier: MIT
#include "setup/setup_file.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <toml++/toml.h>

#include "fileio/regular_file.h"
#include "numbers/number_text.h"
#include "text/quoted_text.h"

namespace {

// toml++ words its own reasons, some quoting the file; they are sentences, so longer than a quote.
constexpr size_t kMostReason = 120;
const char* const kSeedMessage = "--seed must be a whole number from 0 to 4294967295";
const char* const kHeader = "# An epidemic simulator setup: epidemic_sim opens it, "
                            "epidemic_batch --setup runs it.\n"
                            "# A key left out takes the control panel's first value.\n";

// A fault in the file, where it lies.
struct Fault {
  long line; // 0: no line to blame
  std::string reason;
};

std::string whole_text(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.0f", v);
  return text;
}

// How a row's value is written in the file.
std::string toml_value(const ParamRow& row, double v) {
  if (row.kind == ParamKind::Toggle)
    return v != 0.0 ? "true" : "false";
  return row.kind == ParamKind::Real ? real_text(v) : whole_text(v);
}

double row_value(const Setup& s, const ParamRow& row) {
  if (row.role == ParamRole::DisplaySetting) {
    const auto it = s.display.find(row.name);
    return it != s.display.end() ? it->second : row.initial;
  }
  return param_value(row, s.params);
}

std::string table_text(const Setup& s, ParamRole role) {
  std::string text;
  for (const ParamRow& row : param_rows())
    if (row.role == role)
      text += std::string(row.name) + " = " + toml_value(row, row_value(s, row)) + "\n";
  return text;
}

const char* type_name(const toml::node& node) {
  switch (node.type()) {
  case toml::node_type::integer:
    return "an integer";
  case toml::node_type::floating_point:
    return "a real number";
  case toml::node_type::boolean:
    return "true or false";
  case toml::node_type::string:
    return "a string";
  case toml::node_type::table:
    return "a table";
  case toml::node_type::array:
    return "an array";
  default:
    return "a date or time";
  }
}

long line_of(const toml::node& node) {
  return static_cast<long>(node.source().begin.line);
}

Fault wrong_type(const std::string& key, const char* wanted, const toml::node& node) {
  return {line_of(node), key + " must be " + wanted + ", not " + type_name(node)};
}

size_t edit_distance(const std::string& a, const std::string& b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j)
    row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
      diagonal = above;
    }
  }
  return row[b.size()];
}

Fault unknown_key(const std::string& key, const std::string& table,
                  const std::vector<std::string>& known, const toml::node& node) {
  const auto nearest =
      std::min_element(known.begin(), known.end(), [&](const auto& x, const auto& y) {
        return edit_distance(key, x) < edit_distance(key, y);
      });
  return {line_of(node), "unknown key '" + quoted(key) + "' in " + table + ", did you mean '" +
                             quoted(*nearest) + "'?"};
}

std::vector<std::string> known_keys(ParamRole role) {
  std::vector<std::string> keys;
  for (const ParamRow& row : param_rows())
    if (row.role == role)
      keys.push_back(row.name);
  if (role == ParamRole::RunParameter) {
    for (const ScheduleRow& row : schedule_rows())
      keys.push_back(row.name);
    keys.push_back("seed");
  }
  return keys;
}

// A row's value as the file holds it: an integer for a whole row or the chart type, a number for
// a real row, true or false for a toggle; within the row's range, with the option's own message.
bool read_row(const ParamRow& row, const toml::node& node, double* value, Fault* fault) {
  if (row.kind == ParamKind::Toggle) {
    if (!node.is_boolean()) {
      *fault = wrong_type(row.name, "true or false", node);
      return false;
    }
    *value = node.as_boolean()->get() ? 1.0 : 0.0;
    return true;
  }
  const bool real = row.kind == ParamKind::Real;
  if (!node.is_integer() && !(real && node.is_floating_point())) {
    *fault = wrong_type(row.name, real ? "a number" : "an integer", node);
    return false;
  }
  const double v = node.is_integer() ? static_cast<double>(node.as_integer()->get())
                                     : node.as_floating_point()->get();
  if (!std::isfinite(v) || v < row.low || v > row.high) {
    *fault = {line_of(node), range_message(row)};
    return false;
  }
  *value = v;
  return true;
}

bool read_schedule_key(const ScheduleRow& row, const toml::node& node, Setup* s, Fault* fault) {
  if (!node.is_string()) {
    *fault = wrong_type(row.name, "a string \"D:V,...\"", node);
    return false;
  }
  if (!parse_schedule(row, node.as_string()->get(), &(s->schedules.*row.policy), &fault->reason)) {
    fault->line = line_of(node);
    return false;
  }
  s->schedules.*row.in_use = 1;
  return true;
}

bool read_seed(const toml::node& node, Setup* s, Fault* fault) {
  if (!node.is_integer()) {
    *fault = wrong_type("seed", "an integer", node);
    return false;
  }
  const int64_t v = node.as_integer()->get();
  if (v < 0 || v > 4294967295LL) {
    *fault = {line_of(node), kSeedMessage};
    return false;
  }
  s->has_seed = true;
  s->seed = static_cast<uint32_t>(v);
  return true;
}

bool read_key(const std::string& key, const toml::node& node, ParamRole role, Setup* s,
              Fault* fault) {
  const ParamRow* row = find_param(key);
  if (row != nullptr && row->role == role) {
    double v = 0.0;
    if (!read_row(*row, node, &v, fault))
      return false;
    if (role == ParamRole::DisplaySetting)
      s->display[key] = v;
    else
      store_param(*row, v, &s->params);
    return true;
  }
  if (role == ParamRole::RunParameter && find_schedule(key))
    return read_schedule_key(*find_schedule(key), node, s, fault);
  if (role == ParamRole::RunParameter && key == "seed")
    return read_seed(node, s, fault);
  const char* table = role == ParamRole::RunParameter ? "[run]" : "[display]";
  *fault = unknown_key(key, table, known_keys(role), node);
  return false;
}

bool read_table(const char* name, const toml::node& node, ParamRole role, Setup* s, Fault* fault) {
  if (!node.is_table()) {
    *fault = wrong_type(name, "a table", node);
    return false;
  }
  for (auto&& [key, value] : *node.as_table())
    if (!read_key(std::string(key.str()), value, role, s, fault))
      return false;
  return true;
}

bool read_format(const toml::table& top, Fault* fault) {
  const toml::node* format = top.get("format");
  if (format == nullptr) {
    *fault = {1, "format = 1 is missing"};
    return false;
  }
  if (format->is_integer() && format->as_integer()->get() == 1)
    return true;
  *fault = {line_of(*format), "format must be 1, the only format this program reads"};
  return false;
}

bool read_document(const toml::table& top, Setup* s, Fault* fault) {
  if (!read_format(top, fault))
    return false;
  for (auto&& [key, value] : top) {
    const std::string name(key.str());
    if (name == "run" || name == "display") {
      const ParamRole role = name == "run" ? ParamRole::RunParameter : ParamRole::DisplaySetting;
      if (!read_table(name.c_str(), value, role, s, fault))
        return false;
    } else if (name != "format") {
      *fault = unknown_key(name, "the top level", {"format", "run", "display"}, value);
      return false;
    }
  }
  return true;
}

// A NUL byte is legal in no TOML text; naming it says the file is not text at all.
bool check_text(const std::string& text, Fault* fault) {
  const size_t nul = text.find('\0');
  if (nul == std::string::npos)
    return true;
  *fault = {1 + static_cast<long>(std::count(text.begin(), text.begin() + nul, '\n')),
            "not a text file (a NUL byte)"};
  return false;
}

// The reason quotes what it names already.
std::string fault_text(const std::string& name, const Fault& fault) {
  const std::string file = quoted(name, kWholePath);
  return fault.line > 0 ? file + ":" + std::to_string(fault.line) + ": " + fault.reason
                        : file + ": " + fault.reason;
}

// Reads no more than kMaxSetupBytes: one byte past it tells a file too large for a setup.
bool read_capped(const std::string& path, std::string* text, std::string* reason) {
  if (!read_regular_head(path, static_cast<size_t>(kMaxSetupBytes) + 1, text, reason)) {
    if (*reason != kNotRegularFile)
      *reason = "cannot read: " + *reason;
    return false;
  }
  if (text->size() <= static_cast<size_t>(kMaxSetupBytes))
    return true;
  *reason = "larger than " + std::to_string(kMaxSetupBytes / 1024) + " KiB, too large for a setup";
  return false;
}

} // namespace

Setup initial_setup() {
  Setup s;
  for (const ParamRow& row : param_rows())
    if (row.role == ParamRole::DisplaySetting)
      s.display[row.name] = row.initial;
  return s;
}

std::string real_text(double v) {
  return real_literal(v);
}

std::string schedule_text(const PolicyArray& policy) {
  int last = 0;
  for (int k = 0; k < kSetpoints; ++k)
    if (policy[k].setpoint_day != -1)
      last = k;
  std::string text;
  for (int k = 0; k <= last; ++k) {
    std::string value = real_text(policy[k].value);
    if (value.size() > 2 && value.compare(value.size() - 2, 2, ".0") == 0)
      value.resize(value.size() - 2); // "30:50", as one types it
    text += (k ? "," : "") + std::to_string(policy[k].setpoint_day) + ":" + value;
  }
  return text;
}

std::string setup_text(const Setup& s) {
  std::string text =
      std::string(kHeader) + "format = 1\n\n[run]\n" + table_text(s, ParamRole::RunParameter);
  for (const ScheduleRow& row : schedule_rows())
    if (s.schedules.*row.in_use)
      text += std::string(row.name) + " = \"" + schedule_text(s.schedules.*row.policy) + "\"\n";
  if (s.has_seed)
    text += "seed = " + std::to_string(s.seed) + "\n";
  return text + "\n[display]\n" + table_text(s, ParamRole::DisplaySetting);
}

bool write_setup(const std::string& path, const Setup& setup, std::string* error,
                 AtomicFile::Links links) {
  AtomicFile file(path, links);
  const std::string text = setup_text(setup);
  if (!file.open(error))
    return false;
  if (std::fwrite(text.data(), 1, text.size(), file.stream()) != text.size()) {
    *error = write_error(path, errno);
    file.discard();
    return false;
  }
  return file.commit(error);
}

bool parse_setup(const std::string& text, const std::string& name, Setup* setup,
                 std::string* error) {
  Setup read = initial_setup();
  Fault fault{0, ""};
  if (!check_text(text, &fault)) {
    *error = fault_text(name, fault);
    return false;
  }
  try {
    const toml::table top = toml::parse(text, name);
    if (!read_document(top, &read, &fault)) {
      *error = fault_text(name, fault);
      return false;
    }
  } catch (const toml::parse_error& e) {
    *error = fault_text(
        name, {static_cast<long>(e.source().begin.line), quoted(e.description(), kMostReason)});
    return false;
  }
  *setup = read;
  return true;
}

bool read_setup(const std::string& path, Setup* setup, std::string* error) {
  std::string text, reason;
  if (!read_capped(path, &text, &reason)) {
    *error = quoted(path, kWholePath) + ": " + reason;
    return false;
  }
  return parse_setup(text, path, setup, error);
}

std::vector<std::pair<std::string, std::string>> setup_options(const Setup& s) {
  std::vector<std::pair<std::string, std::string>> options;
  for (const ParamRow& row : param_rows())
    if (row.role == ParamRole::RunParameter) {
      const double v = param_value(row, s.params);
      options.emplace_back(row.name, row.kind == ParamKind::Real ? real_text(v) : whole_text(v));
    }
  for (const ScheduleRow& row : schedule_rows())
    if (s.schedules.*row.in_use)
      options.emplace_back(row.name, schedule_text(s.schedules.*row.policy));
  if (s.has_seed)
    options.emplace_back("seed", std::to_string(s.seed));
  return options;
}
