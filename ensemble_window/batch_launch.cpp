// SPDX-License-Identifier: MIT
#include "ensemble_window/batch_launch.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

bool make_one(const std::string& path, std::string* error) {
  if (mkdir(path.c_str(), 0700) == 0 || errno == EEXIST)
    return true;
  *error = "cannot create " + path + ": " + std::strerror(errno);
  return false;
}

std::string date_time_name(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  char name[32];
  std::strftime(name, sizeof name, "%Y-%m-%d_%H-%M-%S", &local);
  return name;
}

} // namespace

std::string ensembles_folder() {
  const char* data = std::getenv("XDG_DATA_HOME");
  std::string base;
  if (data && data[0] == '/') {
    base = data;
  } else {
    const char* home = std::getenv("HOME");
    base = std::string(home ? home : "") + "/.local/share";
  }
  return base + "/epidemic-sim/ensembles";
}

bool make_folders(const std::string& path, std::string* error) {
  for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1))
    if (!make_one(path.substr(0, slash), error))
      return false;
  if (!make_one(path, error))
    return false;
  struct stat st {};
  if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
    return true;
  *error = "cannot create " + path + ": " + std::strerror(ENOTDIR);
  return false;
}

// mkdir fails on a name that exists, so two windows, or two runs within a second, never share one.
bool make_dated_folder(const std::string& parent, std::time_t when, std::string* made,
                       std::string* error) {
  const std::string base = parent + "/" + date_time_name(when);
  for (int n = 1; n < 1000; ++n) {
    const std::string path = n == 1 ? base : base + "-" + std::to_string(n);
    if (mkdir(path.c_str(), 0777) == 0) {
      *made = path;
      return true;
    }
    if (errno != EEXIST) {
      *error = "cannot create " + path + ": " + std::strerror(errno);
      return false;
    }
  }
  *error = "cannot create " + base + ": " + std::strerror(EEXIST);
  return false;
}

std::string installed_batch_runner() {
  char own[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", own, sizeof own - 1);
  const std::string path = n > 0 ? std::string(own, static_cast<std::size_t>(n)) : "";
  const std::size_t slash = path.rfind('/');
  return (slash == std::string::npos ? std::string(".") : path.substr(0, slash)) +
         "/epidemic_batch";
}

std::vector<std::string> batch_command(const EnsembleRequest& r) {
  std::vector<std::string> argv = {r.runner,
                                   "--setup",
                                   r.setup,
                                   "--runs",
                                   std::to_string(r.runs),
                                   "--jobs",
                                   std::to_string(r.jobs),
                                   "--out",
                                   r.out};
  if (!r.vary.empty()) {
    argv.push_back("--vary");
    argv.push_back(r.vary + "=" + r.values);
  }
  return argv;
}
