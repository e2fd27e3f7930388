// SPDX-License-Identifier: MIT
#pragma once

// Runs epidemic_batch, or any shell line, and keeps its exit status and what it wrote; and the
// file helpers the tests share.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
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

// A path of this process's own in the build folder, which concurrent tests share.
inline std::string temp_path(const std::string& name) {
  return TEST_BINARY_DIR "/" + std::to_string(getpid()) + "_" + name;
}

// TEST_BINARY_DIR/NAME with whatever it held removed; an empty folder if `made`.
inline std::string fresh(const std::string& name, bool made = false) {
  const std::string path = TEST_BINARY_DIR "/" + name;
  std::filesystem::remove_all(path);
  if (made)
    std::filesystem::create_directories(path);
  return path;
}

// The names in DIR, relative to it; with `deep`, at every level below it too.
inline std::set<std::string> names_in(const std::string& dir, bool deep = false) {
  namespace fs = std::filesystem;
  std::set<std::string> names;
  for (auto e = fs::recursive_directory_iterator(dir); e != fs::end(e); ++e) {
    names.insert(e->path().lexically_relative(dir).string());
    if (!deep)
      e.disable_recursion_pending();
  }
  return names;
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
