#pragma once

// Runs epidemic_batch, or any shell line, and keeps its exit status and what it wrote.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
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

inline std::string scratch(const std::string& name) {
  return TEST_BINARY_DIR "/" + name;
}

// `to`, when given, replaces the capture of standard output (e.g. ">/dev/full").
inline Result sh(const std::string& command, const std::string& to = "") {
  const std::string tag = std::to_string(getpid()); // test programs share a folder
  const std::string out = scratch(tag + ".out"), err = scratch(tag + ".err");
  std::remove(out.c_str());
  const int raw =
      std::system((command + " " + (to.empty() ? ">" + out : to) + " 2>" + err).c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(out), slurp(err)};
}

inline Result batch(const std::string& args, const std::string& to = "") {
  return sh(BATCH_BINARY " " + args, to);
}

inline std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}
