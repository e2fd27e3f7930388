// SPDX-License-Identifier: MIT
#pragma once
#include <chrono>
#include <cstdio>

// "done/total runs, elapsed, time left" on one line of a terminal, redrawn in place at most ten
// times a second and wiped at the end. Does nothing when disabled.
class ProgressLine {
public:
  ProgressLine(std::FILE* out, bool enabled, long long total);
  ~ProgressLine() { clear(); }
  void update(long long done);
  void clear();
  bool enabled() const { return enabled_; }

private:
  using Clock = std::chrono::steady_clock;
  std::FILE* out_;
  bool enabled_;
  bool shown_ = false;
  long long total_;
  Clock::time_point start_;
  Clock::time_point last_draw_;
};
