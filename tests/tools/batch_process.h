// SPDX-License-Identifier: MIT
#pragma once

// Runs epidemic_batch, or any shell line, and keeps its exit status and what it wrote.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

struct Result {
  int status;
  std::string out, err;
};

inline std::string slurp(const std::string& path) {
  std::stringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

// A redirection inside `command` (e.g. ">/dev/full") wins over the capture around it.
inline Result sh(const std::string& command) {
  const std::string base = TEST_BINARY_DIR "/" + std::to_string(getpid()); // the folder is shared
  const int raw =
      std::system(("{ " + command + "\n} >" + base + ".out 2>" + base + ".err").c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(base + ".out"), slurp(base + ".err")};
}

inline Result batch(const std::string& args) {
  return sh(BATCH_BINARY " " + args);
}

inline std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}
