// SPDX-License-Identifier: MIT
#pragma once
#include <chrono>
#include <cstdio>

#include <string>

// "done/total runs, elapsed, time left" on one line of a terminal, redrawn in place at most ten
// times a second and wiped at the end; `unit` names what is counted, and a note may follow the
// count. Does nothing when disabled.
class ProgressLine {
public:
  ProgressLine(std::FILE* out, bool enabled, long long total, const char* unit = "runs");
  ~ProgressLine() { clear(); }
  void update(long long done, const std::string& note = "");
  void clear();
  bool enabled() const { return enabled_; }

private:
  using Clock = std::chrono::steady_clock;
  std::FILE* out_;
  bool enabled_;
  bool shown_ = false;
  long long total_;
  const char* unit_;
  Clock::time_point start_;
  Clock::time_point last_draw_;
};
