// SPDX-License-Identifier: MIT
#include "ensemble_window/loop_gap.h"

#include <FL/Fl.H>

namespace {

// Short against the 50 ms that the loop may be held at most, long against a timer's own cost.
constexpr double kHeartbeat = 0.005;

} // namespace

LoopGapMeter::~LoopGapMeter() {
  stop();
}

void LoopGapMeter::start() {
  stop();
  watching_ = true;
  longest_ = longest_.zero();
  last_ = std::chrono::steady_clock::now();
  Fl::add_timeout(kHeartbeat, heartbeat_cb, this);
  Fl::add_check(check_cb, this);
}

void LoopGapMeter::stop() {
  if (!watching_)
    return;
  Fl::remove_timeout(heartbeat_cb, this);
  Fl::remove_check(check_cb, this);
  watching_ = false;
}

void LoopGapMeter::heartbeat_cb(void* meter) {
  Fl::repeat_timeout(kHeartbeat, heartbeat_cb, meter);
}

void LoopGapMeter::check_cb(void* meter) {
  auto* m = static_cast<LoopGapMeter*>(meter);
  const auto now = std::chrono::steady_clock::now();
  if (now - m->last_ > m->longest_)
    m->longest_ = now - m->last_;
  m->last_ = now;
}
