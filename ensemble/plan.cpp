// SPDX-License-Identifier: MIT
#include "ensemble/plan.h"

#include <cctype>

std::string Plan::run_file(int point, int run, const char* ext) const {
  return dir + "/runs/" + std::to_string(point) + "-" + std::to_string(run) + "." + ext;
}

std::vector<std::string> Plan::run_command(int point, int run) const {
  std::vector<std::string> words{program};
  for (const auto& [name, value] : fixed) {
    words.push_back(name);
    words.push_back(value);
  }
  for (size_t v = 0; v < varied_names.size(); ++v) {
    words.push_back("--" + varied_names[v]);
    words.push_back(points[static_cast<size_t>(point)][v]);
  }
  const std::vector<std::string> tail{"--seed",   std::to_string(seed_of(run)),
                                      "--csv",    run_file(point, run, "csv"),
                                      "--report", run_file(point, run, "txt")};
  words.insert(words.end(), tail.begin(), tail.end());
  return words;
}

std::vector<std::vector<std::string>> cartesian_points(const std::vector<VariedOption>& varied) {
  std::vector<std::vector<std::string>> points{{}};
  for (const VariedOption& v : varied) {
    std::vector<std::vector<std::string>> longer;
    longer.reserve(points.size() * v.values.size());
    for (const std::vector<std::string>& p : points)
      for (const std::string& value : v.values) {
        longer.push_back(p);
        longer.back().push_back(value);
      }
    points.swap(longer);
  }
  return points;
}

std::string shell_quote(const std::string& arg) {
  bool plain = !arg.empty();
  for (const char c : arg)
    plain = plain && (std::isalnum(static_cast<unsigned char>(c)) ||
                      std::string("_./=:,+-@%").find(c) != std::string::npos);
  if (plain)
    return arg;
  std::string out = "'";
  for (const char c : arg)
    out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

std::string shell_line(const std::vector<std::string>& words) {
  std::string line;
  for (const std::string& w : words)
    line += (line.empty() ? "" : " ") + shell_quote(w);
  return line;
}

// Reads each word as a shell would, then holds the line to the one spelling shell_line gives.
bool shell_words(const std::string& line, std::vector<std::string>* words) {
  words->assign(1, "");
  for (size_t at = 0; at < line.size(); ++at) {
    if (line[at] == ' ') {
      words->emplace_back();
    } else if (line[at] == '\'') {
      const size_t end = line.find('\'', at + 1);
      if (end == std::string::npos)
        return false;
      words->back() += line.substr(at + 1, end - at - 1);
      at = end;
    } else if (line.compare(at, 2, "\\'") == 0) {
      words->back() += '\'';
      ++at;
    } else {
      words->back() += line[at];
    }
  }
  return shell_line(*words) == line;
}
