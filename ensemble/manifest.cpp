// SPDX-License-Identifier: MIT
#include "ensemble/manifest.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

#include "fileio/atomic_file.h"

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
    if (text[i] != '\\') {
      *out += text[i];
      continue;
    }
    if (i + 3 >= text.size() || text[i + 1] != 'x')
      return false;
    char* end = nullptr;
    const std::string hex = text.substr(i + 2, 2);
    const long v = std::strtol(hex.c_str(), &end, 16);
    if (hex.size() != 2 || *end != '\0')
      return false;
    *out += static_cast<char>(v);
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

bool parse_number(const std::string& text, unsigned long long high, unsigned long long* out) {
  char* end = nullptr;
  errno = 0;
  *out = std::strtoull(text.c_str(), &end, 10);
  return !text.empty() && text[0] != '-' && *end == '\0' && errno == 0 && *out <= high;
}

// Takes one record into the plan; false when it is not one the writer makes.
bool take_record(const std::vector<std::string>& f, Plan* plan) {
  const std::string& key = f[0];
  unsigned long long n = 0;
  if (key == "command")
    return true;
  if (key == "seed" && f.size() == 2 && parse_number(f[1], 4294967295ULL, &n))
    plan->seed = static_cast<uint32_t>(n);
  else if (key == "runs" && f.size() == 2 && parse_number(f[1], 100000, &n) && n >= 1)
    plan->runs = static_cast<int>(n);
  else if (key == "fixed" && f.size() == 3)
    plan->fixed.emplace_back(f[1], f[2]);
  else if (key == "varied" && f.size() == 2 && plan->points.empty())
    plan->varied_names.push_back(f[1]);
  else if (key == "point" && f.size() == plan->varied_names.size() + 1)
    plan->points.emplace_back(f.begin() + 1, f.end());
  else
    return false;
  return true;
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
  std::ifstream in(path);
  if (!in) {
    *error = "cannot read " + path + ": " + std::strerror(errno);
    return false;
  }
  *plan = Plan();
  plan->dir = dir;
  std::string line;
  std::vector<std::string> fields;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    const bool ok = split_record(line, &fields) &&
                    (number == 1 ? fields.size() == 2 && fields[0] == kMagic && fields[1] == "1"
                                 : take_record(fields, plan));
    if (!ok) {
      *error = path + ":" + std::to_string(number) + ": not a line of an ensemble manifest";
      return false;
    }
  }
  if (number == 0 || plan->points.empty()) {
    *error = path + ": not an ensemble manifest";
    return false;
  }
  return true;
}
