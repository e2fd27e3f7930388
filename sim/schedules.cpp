#include "sim/schedules.h"

#include "sim/whole_number.h"
#include "sim/world.h"

SchedulePanel* schedule_panel = nullptr;
double sit_factor = 0.0;
double q_factor = 0.0;
int inactivity_goal = 0;
int quarantine_goal = 0;

// Per-day step towards the next setpoint, or 0 when the next entry does not lie later.
static bool next_setpoint(const PolicyArray& policy, int i, int* next_value, double* days) {
  const Setpoint& next = policy[i + 1];
  *next_value = trunc_to_int(next.value);
  if (next.setpoint_day <= policy[i].setpoint_day)
    return false;
  *days = static_cast<double>(next.setpoint_day) - static_cast<double>(policy[i].setpoint_day);
  return true;
}

// A boundary ends day d = day - 1, so a setpoint of day k takes effect as day k + 1 begins.
// Every matching entry is applied in turn; the last one wins.
static bool apply_inactivity_setpoints(const PolicyArray& policy) {
  const int ended = day - 1;
  bool hit = false;
  for (int i = 0; i < kSetpoints; ++i) {
    if (policy[i].setpoint_day != ended)
      continue;
    hit = true;
    sit_still = trunc_to_int(policy[i].value);
    schedule_panel->show_inactivity(sit_still);
    if (i == kSetpoints - 1)
      continue; // the last entry leaves the ramp as it was
    int next_value = 0;
    double days = 0.0;
    if (next_setpoint(policy, i, &next_value, &days)) {
      sit_factor = (static_cast<double>(next_value) - static_cast<double>(sit_still)) / days;
      inactivity_goal = next_value;
    } else {
      sit_factor = 0.0;
    }
  }
  return hit;
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

static bool apply_quarantine_setpoints(const PolicyArray& policy) {
  const int ended = day - 1;
  bool hit = false;
  for (int i = 0; i < kSetpoints; ++i) {
    if (policy[i].setpoint_day != ended)
      continue;
    hit = true;
    quarantine_rate = policy[i].value;
    schedule_panel->show_quarantine_rate(quarantine_rate);
    if (i == kSetpoints - 1)
      continue;
    int next_value = 0;
    double days = 0.0;
    if (next_setpoint(policy, i, &next_value, &days)) {
      const int delta = trunc_to_int(static_cast<double>(next_value) - quarantine_rate);
      q_factor = static_cast<double>(delta) / days;
      quarantine_goal = next_value;
    } else {
      q_factor = 0.0;
    }
  }
  return hit;
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

int first_day_out_of_order(const int days[kSetpoints]) {
  int previous = -1;
  for (int i = 0; i < kSetpoints; ++i) {
    if (days[i] != -1 && days[i] <= previous)
      return i;
    previous = days[i];
  }
  return -1;
}
