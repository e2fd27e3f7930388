// SPDX-License-Identifier: MIT
#pragma once

// Setpoint schedules: inactivity, the quarantine rate and the vaccination rate can follow up to
// ten day-indexed setpoints, jumping on a setpoint's day and ramping linearly in between.

constexpr int kSetpoints = 10;

struct Setpoint {
  int setpoint_day; // -1: not used
  double value;
};

struct PolicyArray {
  Setpoint entry[kSetpoints];
  Setpoint& operator[](int i) { return entry[i]; }
  const Setpoint& operator[](int i) const { return entry[i]; }
};

// Where the schedules live and where the value in force is shown. The control window is one;
// the batch runner and the tests use it as it is.
class SchedulePanel {
public:
  virtual ~SchedulePanel() = default;
  virtual void show_inactivity(int /*value*/) {}
  virtual void show_quarantine_rate(double /*value*/) {}
  virtual void show_vaccination_rate(double /*value*/) {}

  PolicyArray lazy_policy{};
  PolicyArray quarantine_policy{};
  PolicyArray vaccination_policy{};
  int lazy_policy_on = 0;
  int quarantine_policy_on = 0;
  int vaccination_policy_on = 0;
};

// The schedules the engine follows; null: none in use.
extern SchedulePanel* schedule_panel;

// Ramp state, kept across runs on purpose: a run whose first setpoint lies later ramps with
// what an earlier run left.
extern double sit_factor;
extern double q_factor;
extern int inactivity_goal;
extern int quarantine_goal;
extern double v_factor;

// Puts the schedules' state above back to its program-start value, with no schedule in use.
void reset_schedules();

// Called at a day boundary while the matching schedule is in use.
void SettleInactivity();
void SettleQuarantine();
void SettleVaccination();

// Days must rise, except that -1 marks an unused entry and the day after it only needs to be 0
// or more. Returns the index of the first day out of order, or -1 when all are in order.
int first_day_out_of_order(const int days[kSetpoints]);
