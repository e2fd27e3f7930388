// SPDX-License-Identifier: MIT
#include "fit/fit_request.h"

#include <algorithm>
#include <cmath>

#include "ensemble/option_checks.h"
#include "numbers/number_reading.h"
#include "numbers/number_text.h"
#include "text/quoted_text.h"

const char* const kDayOffset = "day-offset";

namespace {

// A data day's model day stays within the days an ensemble's runs may go.
constexpr double kMostOffset = kMaxEnsembleDays;

bool fail(const std::string& message, std::string* error) {
  *error = message;
  return false;
}

// The bounds' parameter as the search takes it: a run parameter of the table within its range,
// searched at the precision its field shows, or day-offset.
bool parameter_of(const std::string& text, FitParameter* p, std::string* error) {
  if (!parse_bound(text, &p->name, &p->low, &p->high, error))
    return fail("--fit-param " + *error, error);
  const std::string option = "--fit-param " + p->name;
  if (p->name == kDayOffset) {
    p->whole = true;
    if (p->low < -kMostOffset || p->high > kMostOffset)
      return fail(option + ": the bounds must lie within -" + shortest_text(kMostOffset) + " and " +
                      shortest_text(kMostOffset),
                  error);
    return true;
  }
  const ParamRow* row = find_param(p->name);
  if (row == nullptr || row->role != ParamRole::RunParameter)
    return fail(option + ": not a run parameter (see --help) nor " + kDayOffset, error);
  p->whole = row->kind != ParamKind::Real;
  p->decimals = p->whole ? 0 : std::min(row->precision, kMostDecimals);
  if (p->low < row->low || p->high > row->high)
    return fail(option + ": the bounds must lie within its range, " + shortest_text(row->low) +
                    " to " + shortest_text(row->high),
                error);
  return true;
}

bool read_parameters(const EnsembleOptions& o, FitRequest* r, std::string* error) {
  for (const std::string& text : o.fit_params) {
    FitParameter p;
    if (!parameter_of(text, &p, error))
      return false;
    for (const FitParameter& earlier : r->parameters)
      if (earlier.name == p.name)
        return fail("--fit-param " + p.name + " is given twice", error);
    for (const auto& fixed : o.fixed)
      if (fixed.first == "--" + p.name)
        return fail(fixed.first + " is both given and fitted", error);
    if (p.name == kDayOffset)
      r->offset_index = static_cast<int>(r->parameters.size());
    r->parameters.push_back(p);
  }
  return true;
}

bool read_weights(const EnsembleOptions& o, FitRequest* r, std::string* error) {
  const std::vector<ObservedSeries>& series = r->target.data.series;
  std::vector<double>& weights = r->target.weights;
  weights.assign(series.size(), 1.0);
  std::vector<bool> given(series.size(), false);
  for (const std::string& text : o.fit_weights) {
    const std::size_t eq = text.find('=');
    const std::string name = text.substr(0, eq);
    double w = 0;
    if (eq == std::string::npos || !parse_real_number(text.substr(eq + 1), &w) || !(w >= 0))
      return fail("--fit-weight \"" + quoted(text) + "\" is not SERIES=W with W a number from 0 up",
                  error);
    const auto s = std::find_if(series.begin(), series.end(), [&](const ObservedSeries& one) {
      return name == kDailyFigureNames[one.figure];
    });
    if (s == series.end())
      return fail("--fit-weight " + quoted(name) + ": no such column in " + o.fit, error);
    const std::size_t i = static_cast<std::size_t>(s - series.begin());
    if (given[i])
      return fail("--fit-weight " + name + " is given twice", error);
    given[i] = true;
    weights[i] = w;
  }
  if (std::all_of(weights.begin(), weights.end(), [](double w) { return w == 0; }))
    return fail("--fit-weight: every series weighs 0, so every point would score 0", error);
  return true;
}

// The runs go as far as the data's last day at the largest offset, and no further: no day past
// it counts. A --max-days that stops them earlier would leave data days without a model.
bool set_days(const EnsembleOptions& o, FitRequest* r, std::string* error) {
  const int last_offset =
      r->offset_index < 0 ? 0 : static_cast<int>(std::floor(r->parameters[r->offset_index].high));
  const long long needed =
      std::max(1LL, static_cast<long long>(r->target.data.last_day) + last_offset);
  if (needed > kMaxEnsembleDays)
    return fail("the data's last day at the largest day-offset is model day " +
                    std::to_string(needed) + ", past the " + std::to_string(kMaxEnsembleDays) +
                    " days a run may go",
                error);
  const bool given = std::any_of(o.fixed.begin(), o.fixed.end(),
                                 [](const auto& f) { return f.first == "--max-days"; });
  if (given && r->base.max_days < needed)
    return fail("--max-days " + std::to_string(r->base.max_days) +
                    " stops the runs before model day " + std::to_string(needed) +
                    ", the data's last day at the largest day-offset",
                error);
  if (!given)
    r->base.max_days = static_cast<int>(needed);
  return true;
}

} // namespace

bool read_fit_request(const EnsembleOptions& o, FitRequest* r, std::string* error) {
  r->trials = o.trials;
  r->runs = o.runs_given ? o.runs : kDefaultFitRuns;
  r->jobs = o.jobs;
  r->seed = o.seed;
  r->base = o.single;
  r->out = o.out;
  r->force = o.force;
  r->quiet = o.quiet;
  // The search's runs, then the fresh ones of the best points.
  const long long runs = static_cast<long long>(r->runs) * (r->trials + 4 * kRescored);
  if (!check_ensemble_size(1, runs, error))
    return fail("--fit: " + *error, error);
  return load_observed_data(o.fit, &r->target.data, error) && read_parameters(o, r, error) &&
         read_weights(o, r, error) && set_days(o, r, error);
}

std::string fitted_text(const FitParameter& p, double value) {
  if (p.whole)
    return std::to_string(std::llround(value));
  return shortest_text(value);
}

RunWords point_words(const FitRequest& r, const std::vector<double>& values) {
  RunWords words;
  for (std::size_t i = 0; i < r.parameters.size(); ++i)
    if (static_cast<int>(i) != r.offset_index)
      words.emplace_back(r.parameters[i].name, fitted_text(r.parameters[i], values[i]));
  return words;
}

BatchOptions point_options(const FitRequest& r, const std::vector<double>& values) {
  BatchOptions o = r.base;
  std::string checked; // the bounds lie within each parameter's range
  for (const auto& [name, value] : point_words(r, values))
    take_run_option(name, value, &o, &checked);
  return o;
}

int point_offset(const FitRequest& r, const std::vector<double>& values) {
  return r.offset_index < 0 ? 0 : static_cast<int>(std::llround(values[r.offset_index]));
}
