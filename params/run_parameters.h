// SPDX-License-Identifier: MIT
#pragma once
#include <cstddef>
#include <string>

#include "sim/schedules.h"
#include "sim/world.h"

// The one table of what the control panel sets: every run parameter and every display setting,
// each once, with its name, label, tooltip, range, first value and place on the panel. The panel
// builds its fields from it; whatever else names, checks or stores these values reads it too.

// The most persons a run can hold, the upper bound of "population"; the live chart's upper limit
// reaches as far.
constexpr int kMostPersons = 350000;

// A run parameter changes what a run does; a display setting only how a run is shown.
enum class ParamRole { RunParameter, DisplaySetting };

// Whole: a field read with atoi. Real: a field read with atof. Toggle: a light button, 0 or 1.
// Choice: the chart series selector, whose value is the chart mask.
enum class ParamKind { Whole, Real, Toggle, Choice };

// Window coordinates. A field's place covers its text field and its slider.
struct PanelPlace {
  int x, y, w, h;
};

struct ParamRow {
  const char* name; // the option's name without its dashes
  const char* label;
  const char* tooltip;
  ParamRole role;
  ParamKind kind;
  double low, high; // the valid values, low <= high
  bool reversed;    // the slider holds `high` at its left end
  double initial;   // the panel's first value
  int precision;    // decimals the text shows once edited; the slider itself has no step
  PanelPlace place;
  // Where a run takes the value: one of the two, or neither for what only the panel uses.
  int RunParameters::*whole;
  double RunParameters::*real;
};

// A setpoint schedule: the button beside the field it drives, and where the engine finds it.
struct ScheduleRow {
  const char* name;   // the option's name without its dashes
  const char* title;  // the setpoint editor's title
  const char* drives; // the name of the parameter it sets
  const char* tooltip;
  PanelPlace place;
  int day_step;         // the first schedule holds days 0, step, 2 x step, ...
  double initial_value; // ... each at this value
  PolicyArray SchedulePanel::*policy;
  int SchedulePanel::*in_use;
};

template <class Row> struct RowSpan {
  const Row* first;
  std::size_t count;
  const Row* begin() const { return first; }
  const Row* end() const { return first + count; }
  std::size_t size() const { return count; }
};

// In the panel's creation order, which is also its focus order.
RowSpan<ParamRow> param_rows();
RowSpan<ScheduleRow> schedule_rows();
// Null when no row has that name.
const ParamRow* find_param(const std::string& name);
const ScheduleRow* find_schedule(const std::string& name);
// The first value of a row that must exist.
double param_initial(const char* name);

// The value as the batch runner's options take it: for a whole row or a toggle an optional '-'
// then digits only, for a real row a finite decimal, within the row's range. Otherwise false,
// with the option's one-line message in *error, e.g. "--population must be a whole number from
// 0 to 350000".
bool parse_param(const ParamRow& row, const std::string& text, double* value, std::string* error);
std::string range_message(const ParamRow& row);

// "D:V,D:V,...": 1 to 10 setpoints with whole days that keep the editor's day order and finite
// values; the other entries are unused. Otherwise false, with the option's message in *error.
bool parse_schedule(const ScheduleRow& row, const std::string& text, PolicyArray* policy,
                    std::string* error);
// The schedule a row starts with on the panel.
PolicyArray initial_schedule(const ScheduleRow& row);

// Puts a value where a run takes it (a whole row's value is truncated like atoi); a row that
// a run does not take is left out.
void store_param(const ParamRow& row, double value, RunParameters* params);
// The value a run would take from `params`; a row's first value where a run does not take it.
double param_value(const ParamRow& row, const RunParameters& params);
// Every value a run takes, at the panel's first values.
RunParameters initial_run_parameters();
