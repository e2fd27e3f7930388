// SPDX-License-Identifier: MIT
#include "sim/schedules.h"

#include "sim/whole_number.h"
#include "sim/world.h"

// The schedules' state once, with its value at program start, as the engine's globals are.
#define SCHEDULE_GLOBALS(X)                                                                        \
  X(SchedulePanel*, schedule_panel, nullptr)                                                       \
  X(double, sit_factor, 0.0)                                                                       \
  X(double, q_factor, 0.0)                                                                         \
  X(int, inactivity_goal, 0)                                                                       \
  X(int, quarantine_goal, 0)                                                                       \
  X(double, v_factor, 0.0)

#define DEFINE_GLOBAL(type, name, start) type name = start;
SCHEDULE_GLOBALS(DEFINE_GLOBAL)
#undef DEFINE_GLOBAL

void reset_schedules() {
#define RESET_GLOBAL(type, name, start) name = start;
  SCHEDULE_GLOBALS(RESET_GLOBAL)
#undef RESET_GLOBAL
}

// A boundary ends day d = day - 1, so a setpoint of day k takes effect as day k + 1 begins.
// Every matching entry is applied in turn; the last one wins. `jump` sets the value; `aim` gets
// the next entry's value and the days to it, or 0 days when that entry does not lie later (the
// value then holds). The tenth entry leaves the ramp as it was.
template <typename Jump, typename Aim>
static bool apply_setpoints(const PolicyArray& policy, Jump jump, Aim aim) {
  bool hit = false;
  for (int i = 0; i < kSetpoints; ++i) {
    if (policy[i].setpoint_day != day - 1)
      continue;
    hit = true;
    jump(policy[i].value);
    if (i == kSetpoints - 1)
      continue;
    const Setpoint& next = policy[i + 1];
    const double days = next.setpoint_day > policy[i].setpoint_day
                            ? static_cast<double>(next.setpoint_day) - policy[i].setpoint_day
                            : 0.0;
    aim(next.value, days);
  }
  return hit;
}

static bool apply_inactivity_setpoints(const PolicyArray& policy) {
  return apply_setpoints(
      policy,
      [](double value) {
        sit_still = trunc_to_int(value);
        schedule_panel->show_inactivity(sit_still);
      },
      [](double next, double days) {
        const int next_value = trunc_to_int(next);
        if (days == 0.0) {
          sit_factor = 0.0;
          return;
        }
        sit_factor = (static_cast<double>(next_value) - static_cast<double>(sit_still)) / days;
        inactivity_goal = next_value;
      });
}

void SettleInactivity() {
  if (schedule_panel == nullptr || apply_inactivity_setpoints(schedule_panel->lazy_policy))
    return;
  // Each step truncates, so a rising step below 1 never moves the value, and a ramp whose
  // steps pass over the goal goes on until the next setpoint.
  if (sit_still == inactivity_goal)
    sit_factor = 0.0;
  sit_still = trunc_to_int(static_cast<double>(sit_still) + sit_factor);
  schedule_panel->show_inactivity(sit_still);
  draw_mobility(sit_still);
}

// Only the target and the difference are truncated: the rate itself stays real.
static bool apply_quarantine_setpoints(const PolicyArray& policy) {
  return apply_setpoints(
      policy,
      [](double value) {
        quarantine_rate = value;
        schedule_panel->show_quarantine_rate(quarantine_rate);
      },
      [](double next, double days) {
        const int next_value = trunc_to_int(next);
        if (days == 0.0) {
          q_factor = 0.0;
          return;
        }
        const int delta = trunc_to_int(static_cast<double>(next_value) - quarantine_rate);
        q_factor = static_cast<double>(delta) / days;
        quarantine_goal = next_value;
      });
}

void SettleQuarantine() {
  if (schedule_panel == nullptr || apply_quarantine_setpoints(schedule_panel->quarantine_policy))
    return;
  // The rate is real and the goal whole: a ramp to a fractional setpoint never meets its goal.
  if (static_cast<double>(quarantine_goal) == quarantine_rate)
    q_factor = 0.0;
  quarantine_rate = quarantine_rate + q_factor;
  schedule_panel->show_quarantine_rate(quarantine_rate);
}

// Real numbers throughout, nothing truncated, and no goal: the step runs until the next setpoint.
// A setpoint without a later next entry, the tenth included, holds its value: the jump stops
// the ramp, and only a later entry starts another.
static bool apply_vaccination_setpoints(const PolicyArray& policy) {
  return apply_setpoints(
      policy,
      [](double value) {
        vaccination_rate = value;
        v_factor = 0.0;
      },
      [](double next, double days) {
        if (days != 0.0)
          v_factor = (next - vaccination_rate) / days;
      });
}

void SettleVaccination() {
  if (schedule_panel == nullptr)
    return;
  if (!apply_vaccination_setpoints(schedule_panel->vaccination_policy))
    vaccination_rate += v_factor;
  schedule_panel->show_vaccination_rate(vaccination_rate);
}

int first_day_out_of_order(const int days[kSetpoints]) {
  int previous = -1;
  for (int i = 0; i < kSetpoints; ++i) {
    if (days[i] != -1 && days[i] <= previous)
      return i;
    previous = days[i];
  }
  return -1;
}
