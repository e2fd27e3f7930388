// SPDX-License-Identifier: MIT
#pragma once
#include <chrono>

// The longest time between two iterations of the event loop while it is watched: a heartbeat
// timer keeps the loop turning every few milliseconds, and a check, which the toolkit calls once
// per iteration, notes the time since the last. A gap much longer than the heartbeat is time in
// which the program did not answer the user.
class LoopGapMeter {
public:
  LoopGapMeter() = default;
  ~LoopGapMeter();
  LoopGapMeter(const LoopGapMeter&) = delete;
  LoopGapMeter& operator=(const LoopGapMeter&) = delete;

  void start(); // forgets the longest gap so far
  void stop();
  bool watching() const { return watching_; }
  double longest_ms() const { return longest_.count(); }

private:
  static void heartbeat_cb(void* meter);
  static void check_cb(void* meter);
  bool watching_ = false;
  std::chrono::steady_clock::time_point last_;
  std::chrono::duration<double, std::milli> longest_{0};
};
