// SPDX-License-Identifier: MIT
#include "params/run_parameters.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <type_traits>
#include <vector>

#include "numbers/number_reading.h"

namespace {

using R = RunParameters;

// The text field (65 wide), a gap of 5 and the slider (150 wide), as InputSlider lays them out.
constexpr int kFieldWidth = 220;
constexpr int kRowHeight = 20;
constexpr int kToggleWidth = 150;

ParamRow row(ParamKind kind, const char* name, const char* label, const char* tip, ParamRole role,
             PanelPlace place, double low, double high, double initial) {
  ParamRow r{};
  r.name = name;
  r.label = label;
  r.tooltip = tip;
  r.role = role;
  r.kind = kind;
  r.low = low;
  r.high = high;
  r.initial = initial;
  r.place = place;
  return r;
}

void set_target(ParamRow& r, int R::*to) {
  r.whole = to;
}
void set_target(ParamRow& r, double R::*to) {
  r.real = to;
}
// A value the panel keeps for itself: no run takes it.
constexpr int R::*kPanelOnly = nullptr;

// A whole field for an int target, a real one for a double.
template <class T>
ParamRow field(const char* name, const char* label, int x, int y, int precision, double initial,
               double low, double high, T R::*to, const char* tip,
               ParamRole role = ParamRole::RunParameter) {
  const ParamKind kind = std::is_same<T, double>::value ? ParamKind::Real : ParamKind::Whole;
  ParamRow r =
      row(kind, name, label, tip, role, {x, y, kFieldWidth, kRowHeight}, low, high, initial);
  r.precision = precision;
  set_target(r, to);
  return r;
}

// The toggles all start on, so by default only the sick and the dead are drawn.
ParamRow toggle(const char* name, const char* label, int x, int y, int R::*to, const char* tip,
                ParamRole role) {
  ParamRow r =
      row(ParamKind::Toggle, name, label, tip, role, {x, y, kToggleWidth, kRowHeight}, 0, 1, 1);
  r.whole = to;
  return r;
}

ParamRow slowest_left(ParamRow r) {
  r.reversed = true;
  return r;
}

const ParamRow kParams[] = {
    field("population", "Initial Population", 150, 50, 0, 50000, 0, kMostPersons, &R::population,
          "The initial number of participants."),
    field("infection-rate", "Infection Rate %", 150, 80, 0, 15, 0, 100, &R::infection_rate,
          "The ease with which the disease passes from one person to another."),
    field("infection-length", "Infection Length", 150, 110, 0, 30, 1, 90, &R::infection_length,
          "The number of days a sick person can transmit the disease."),
    field("ambulatory-days", "Ambulatory Days", 150, 140, 0, 7, 1, 90, &R::ambulatory_days,
          "The number of days a sick person can socially move around."),
    field("inactivity", "Inactivity %", 150, 170, 0, 10, 0, 100, &R::inactivity,
          "How socially active the society is. Higher numbers mean less activity."),
    field("initially-infected", "Initially Infected", 150, 200, 0, 10, 1, 1000,
          &R::initially_infected, "How many people start the simulation already sick."),
    field("arena-size", "Arena Size", 150, 230, 0, 400, 100, 1080, &R::arena_size,
          "The social area of the simulation, squared."),
    field("chart-upper-limit", "Chart Upper Limit", 150, 260, 0, 50000, 0, kMostPersons, kPanelOnly,
          "The upper boundary of the chart", ParamRole::DisplaySetting),
    field("chart-max-values", "Chart Maximum Values", 150, 290, 0, 200, 0, 365, kPanelOnly,
          "The maximum number of data values collected by the chart. Set to zero for no limit.",
          ParamRole::DisplaySetting),
    field("quarantine-rate", "Quarantine Rate %", 550, 50, 2, 0.5, 0, 100, &R::quarantine_rate,
          "The percentage of sick people that will be fixed in place and cured."),
    // Slowest at the left: dragging right makes the run faster.
    slowest_left(field("speed", "Speed", 550, 80, 3, 0.01, 0.001, 1.0, &R::speed,
                       "The speed at which the simulation runs, specified as fractions "
                       "of second delay between steps.",
                       ParamRole::DisplaySetting)),
    field("daily-interactions", "Daily Interactions", 550, 110, 0, 8, 1, 24, &R::daily_interactions,
          "The number of times a person can move per day."),
    field("immunity-duration", "Immunity Duration", 550, 140, 0, 730, 0, 2000,
          &R::immunity_duration, "How long a person is immune after recovering or being cured."),
    field("drivers", "Drivers %", 550, 170, 0, 0, 0, 100, &R::drivers_pct,
          "Percent of people that drive to destinations.\nDriving causes them to travel to the "
          "destination and return without exposing anyone.\nThey do expose people at the "
          "destination and at their home."),
    field("destinations", "Number of destinations", 550, 200, 0, 0, 0, 1000, &R::destination_count,
          "Number of places people can drive to."),
    // One decimal shown, a whole percent read: the decimal is dropped.
    field("death-rate", "Death Rate", 550, 230, 1, 0, 0, 100, &R::death_rate,
          "Percentage of people that die of the disease."),
    field("vaccination", "Vaccination %", 550, 260, 2, 0, 0, 100, &R::vaccination_rate,
          "Percent chance per day that a susceptible person is vaccinated and becomes immune."),
    toggle("hide-healthy", "Hide Healthy", 480, 290, &R::hide_healthy,
           "Hide the people that are heathy.", ParamRole::DisplaySetting),
    toggle("hide-quarantined", "Hide Quarantined", 630, 290, &R::hide_quarantined,
           "Hide the people that are in treatment/quarantine", ParamRole::DisplaySetting),
    toggle("hide-recovered", "Hide Recovered", 480, 310, &R::hide_recovered,
           "Hide the people that have recovered.", ParamRole::DisplaySetting),
    toggle("hard-edge", "Hard Edge", 630, 310, &R::hard_edge,
           "Cause the side and upper edges to not wrap around\n", ParamRole::RunParameter),
    toggle("lockdown", "Lockdown", 480, 330, &R::lockdown,
           "A percentage of people are inactive rather than all people being less active.",
           ParamRole::RunParameter),
    // The chart mask, one bit a series; 1 matches the selector's first label.
    row(ParamKind::Choice, "chart-type", "Chart Type",
        "Set which results are to be charted. More than one can be selected. Selecting None "
        "clears the selection.",
        ParamRole::DisplaySetting, {150, 320, 280, kRowHeight}, 0, 31, 1),
};

const ScheduleRow kSchedules[] = {
    {"inactivity-schedule",
     "Inactivity",
     "inactivity",
     "Allows setting up to 10 days to act as setpoints.",
     {370, 170, 20, 20},
     30,
     50.0,
     &SchedulePanel::lazy_policy,
     &SchedulePanel::lazy_policy_on},
    {"quarantine-schedule",
     "Quarantine",
     "quarantine-rate",
     "Allow setting up to 10 days to act as setpoints.",
     {770, 50, 20, 20},
     10,
     50.0,
     &SchedulePanel::quarantine_policy,
     &SchedulePanel::quarantine_policy_on},
    // A first schedule of a modest campaign: 1 % a day.
    {"vaccination-schedule",
     "Vaccination",
     "vaccination",
     "Allows setting up to 10 days to act as setpoints.",
     {770, 260, 20, 20},
     10,
     1.0,
     &SchedulePanel::vaccination_policy,
     &SchedulePanel::vaccination_policy_on},
};

bool is_whole(const ParamRow& row) {
  return row.kind != ParamKind::Real;
}

bool read_whole(const std::string& text, double* out) {
  long long v = 0;
  if (!parse_whole_number(text, LLONG_MIN, LLONG_MAX, &v))
    return false;
  *out = static_cast<double>(v);
  return true;
}

// One "D:V" setpoint.
bool read_setpoint(const std::string& item, Setpoint* out) {
  const size_t colon = item.find(':');
  double d = 0.0;
  if (colon == std::string::npos || !read_whole(item.substr(0, colon), &d) || d < -1 ||
      d > 2147483647.0 || !parse_real_number(item.substr(colon + 1), &out->value))
    return false;
  out->setpoint_day = static_cast<int>(d);
  return true;
}

// Leaves *out as it was unless the whole text is good.
bool read_schedule(const std::string& text, PolicyArray* out) {
  const std::vector<std::string> items = split_commas(text);
  if (items.size() > static_cast<size_t>(kSetpoints))
    return false;
  PolicyArray read{};
  int days[kSetpoints];
  for (int i = 0; i < kSetpoints; ++i) {
    read[i] = {-1, 0.0};
    if (static_cast<size_t>(i) < items.size() && !read_setpoint(items[i], &read[i]))
      return false;
    days[i] = read[i].setpoint_day;
  }
  if (first_day_out_of_order(days) >= 0)
    return false;
  *out = read;
  return true;
}

} // namespace

RowSpan<ParamRow> param_rows() {
  return {kParams, sizeof kParams / sizeof kParams[0]};
}

RowSpan<ScheduleRow> schedule_rows() {
  return {kSchedules, sizeof kSchedules / sizeof kSchedules[0]};
}

const ParamRow* find_param(const std::string& name) {
  for (const ParamRow& row : param_rows())
    if (name == row.name)
      return &row;
  return nullptr;
}

const ScheduleRow* find_schedule(const std::string& name) {
  for (const ScheduleRow& row : schedule_rows())
    if (name == row.name)
      return &row;
  return nullptr;
}

double param_initial(const char* name) {
  const ParamRow* row = find_param(name);
  if (!row)
    std::abort(); // a misspelt name in the program itself
  return row->initial;
}

std::string range_message(const ParamRow& row) {
  char text[160];
  if (is_whole(row))
    std::snprintf(text, sizeof text, "--%s must be a whole number from %.0f to %.0f", row.name,
                  row.low, row.high);
  else
    std::snprintf(text, sizeof text, "--%s must be a number from %g to %g", row.name, row.low,
                  row.high);
  return text;
}

bool parse_param(const ParamRow& row, const std::string& text, double* value, std::string* error) {
  double v = 0.0;
  const bool read = is_whole(row) ? read_whole(text, &v) : parse_real_number(text, &v);
  if (!read || v < row.low || v > row.high) {
    *error = range_message(row);
    return false;
  }
  *value = v;
  return true;
}

bool parse_schedule(const ScheduleRow& row, const std::string& text, PolicyArray* policy,
                    std::string* error) {
  if (read_schedule(text, policy))
    return true;
  *error = std::string("--") + row.name +
           " must be 1 to 10 setpoints DAY:VALUE separated by commas, with whole days rising "
           "(-1 = not used) and finite values";
  return false;
}

PolicyArray initial_schedule(const ScheduleRow& row) {
  PolicyArray p{};
  for (int k = 0; k < kSetpoints; ++k)
    p[k] = Setpoint{row.day_step * k, row.initial_value};
  return p;
}

void store_param(const ParamRow& row, double value, RunParameters* params) {
  if (row.whole)
    params->*row.whole = static_cast<int>(value);
  else if (row.real)
    params->*row.real = value;
}

double param_value(const ParamRow& row, const RunParameters& params) {
  if (row.whole)
    return params.*row.whole;
  if (row.real)
    return params.*row.real;
  return row.initial;
}

RunParameters initial_run_parameters() {
  RunParameters p;
  for (const ParamRow& row : param_rows())
    store_param(row, row.initial, &p);
  return p;
}
