// SPDX-License-Identifier: MIT
#include "fit/search.h"

#include <nlopt.hpp>

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

#include "numbers/number_reading.h"
#include "text/quoted_text.h"

namespace {

// The global phase takes this share of the budget, the local one the rest and whatever the global
// one left.
constexpr int kGlobalQuarters = 3;
// NLopt's own random stream (which neither phase draws from as chosen, but which any other
// algorithm would) starts from the same seed every search.
constexpr unsigned long kSearchSeed = 1;

// A parameter's values as whole numbers of steps, and the unit interval that NLopt searches cut
// into one equal slice per value, so that every value, the ends included, is as likely to be met.
struct Grid {
  long long first, last; // the values first / scale to last / scale
  double scale;          // steps per unit: 10^decimals, 1 for a whole parameter

  long long values() const { return last - first + 1; }
  long long key(double unit) const {
    const double slice = std::floor(std::clamp(unit, 0.0, 1.0) * static_cast<double>(values()));
    return first + std::min(static_cast<long long>(slice), values() - 1);
  }
  double value(long long key) const { return static_cast<double>(key) / scale; }
  double unit(long long key) const {
    return (static_cast<double>(key - first) + 0.5) / static_cast<double>(values());
  }
};

// `v` in steps, rounded inwards unless it is a step already (as typed bounds are, up to the
// product's rounding).
long long steps_of(double v, double scale, bool up) {
  const double steps = v * scale;
  const double nearest = std::round(steps);
  if (std::fabs(steps - nearest) <= 1e-9 * std::max(1.0, std::fabs(steps)))
    return static_cast<long long>(nearest);
  return static_cast<long long>(up ? std::ceil(steps) : std::floor(steps));
}

bool grid_of(const FitParameter& p, Grid* grid, std::string* error) {
  const std::string named = "the bounds of " + quoted(p.name);
  if (!p.whole && (p.decimals < 0 || p.decimals > kMostDecimals)) {
    *error = named + " have a precision of " + std::to_string(p.decimals) + " decimals, not 0 to " +
             std::to_string(kMostDecimals);
    return false;
  }
  double scale = 1;
  for (int d = 0; !p.whole && d < p.decimals; ++d)
    scale *= 10;
  // Beyond 2^53 steps a double no longer holds every step.
  constexpr double kMostSteps = 9007199254740992.0;
  if (!std::isfinite(p.low) || !std::isfinite(p.high) || std::fabs(p.low * scale) > kMostSteps ||
      std::fabs(p.high * scale) > kMostSteps) {
    *error = named + " are too large for their precision";
    return false;
  }
  *grid = {steps_of(p.low, scale, true), steps_of(p.high, scale, false), scale};
  if (grid->last <= grid->first) {
    *error = named + " hold fewer than two values at their precision";
    return false;
  }
  return true;
}

// What the objective needs, shared by both phases.
struct Search {
  const std::vector<Grid>& grids;
  const ScorePoint& score;
  std::vector<Trial>* trials;
  std::map<std::vector<long long>, double> scored; // each point scored, by its keys
  std::size_t most_points = 0;                     // for the phase that runs
  long long calls = 0, most_calls = 0;
  nlopt::opt* running = nullptr;
  bool stopped = false;
  std::string error;

  // Ends the phase: NLopt returns from optimize() by throwing nlopt::forced_stop.
  double stop() {
    stopped = true;
    running->force_stop();
    return HUGE_VAL;
  }
};

double objective(unsigned n, const double* unit, double* /*gradient*/, void* data) {
  Search& s = *static_cast<Search*>(data);
  // NLopt may still call in before it sees the stop: nothing is scored after it.
  if (s.stopped || s.calls >= s.most_calls)
    return s.stop();
  ++s.calls;
  std::vector<long long> keys(n);
  for (unsigned i = 0; i < n; ++i)
    keys[i] = s.grids[i].key(unit[i]);
  const auto seen = s.scored.find(keys);
  if (seen != s.scored.end())
    return seen->second;
  if (s.scored.size() >= s.most_points)
    return s.stop();
  Trial trial;
  for (unsigned i = 0; i < n; ++i)
    trial.values.push_back(s.grids[i].value(keys[i]));
  if (!s.score(trial.values, &trial.score, &s.error) || !std::isfinite(trial.score.score)) {
    if (s.error.empty())
      s.error = "a point scored " + std::to_string(trial.score.score);
    return s.stop();
  }
  s.scored.emplace(keys, trial.score.score);
  s.trials->push_back(trial);
  return trial.score.score;
}

// Runs `opt` from `start` until it ends, its calls run out or `most_points` points in all have
// been scored; false when scoring failed or NLopt itself did.
bool run_phase(Search& s, nlopt::opt& opt, std::vector<double> start, std::size_t most_points) {
  if (s.calls >= s.most_calls || s.scored.size() >= most_points)
    return true;
  opt.set_lower_bounds(0.0);
  opt.set_upper_bounds(1.0);
  opt.set_min_objective(objective, &s);
  opt.set_maxeval(static_cast<int>(std::min<long long>(s.most_calls - s.calls, 1 << 30)));
  s.running = &opt;
  s.most_points = most_points;
  s.stopped = false;
  double best = 0;
  try {
    opt.optimize(start, best);
  } catch (const nlopt::forced_stop&) {
  } catch (const nlopt::roundoff_limited&) { // the local search cannot go on: it is done
  } catch (const std::exception& e) {
    if (s.error.empty())
      s.error = std::string("the search failed: ") + e.what();
  }
  s.running = nullptr;
  return s.error.empty();
}

} // namespace

bool parse_bound(const std::string& text, std::string* name, double* low, double* high,
                 std::string* error) {
  const std::size_t equals = text.find('=');
  const std::size_t colon = text.find(':', equals == std::string::npos ? 0 : equals);
  if (equals == 0 || equals == std::string::npos || colon == std::string::npos ||
      !parse_real_number(text.substr(equals + 1, colon - equals - 1), low) ||
      !parse_real_number(text.substr(colon + 1), high) || !(*low < *high)) {
    *error = "\"" + quoted(text) + "\" is not NAME=LOW:HIGH with LOW below HIGH";
    return false;
  }
  *name = text.substr(0, equals);
  return true;
}

bool search_fit(const std::vector<FitParameter>& parameters, int budget, const ScorePoint& score,
                std::vector<Trial>* trials, std::string* error) {
  std::vector<Grid> grids(parameters.size());
  for (std::size_t i = 0; i < parameters.size(); ++i)
    if (!grid_of(parameters[i], &grids[i], error))
      return false;
  if (parameters.empty() || budget < 1) {
    *error = "a search needs a parameter and a budget of at least 1 point";
    return false;
  }
  trials->clear();
  nlopt::srand(kSearchSeed);
  Search s{grids, score, trials, {}, 0, 0, kCallsPerPoint * budget, nullptr, false, {}};
  const unsigned n = static_cast<unsigned>(parameters.size());
  const std::size_t points = static_cast<std::size_t>(budget);

  // DIRECT-L rather than CRS2: it draws nothing at random, and it spends its points a few at a
  // time, the box's centre and then the thirds of the most promising boxes, so that a budget of
  // tens of points, each of which costs a point's runs, already covers the box and then closes in
  // on its best part. CRS2 spends its first 10 (n + 1) points on a random population before it
  // improves on any. DIRECT-L's locally biased variant suits a score that has one broad basin
  // better than the plain DIRECT, which keeps dividing large boxes far from it.
  nlopt::opt global(nlopt::GN_DIRECT_L, n);
  if (!run_phase(s, global, std::vector<double>(n, 0.5),
                 std::max<std::size_t>(1, points * kGlobalQuarters / 4))) {
    *error = s.error;
    return false;
  }

  // Subplex from the best point: no gradient, and steps of at least one value of each parameter,
  // ending once they are finer than half of one, where no new point can come of them.
  const auto best =
      std::min_element(trials->begin(), trials->end(), [](const Trial& a, const Trial& b) {
        return a.score.score < b.score.score;
      });
  if (best == trials->end())
    return true;
  std::vector<double> start(n), steps(n), finest(n);
  for (unsigned i = 0; i < n; ++i) {
    const double slice = 1.0 / static_cast<double>(grids[i].values());
    start[i] = grids[i].unit(steps_of(best->values[i], grids[i].scale, true));
    steps[i] = std::max(0.1, slice);
    finest[i] = slice / 2;
  }
  nlopt::opt local(nlopt::LN_SBPLX, n);
  local.set_initial_step(steps);
  local.set_xtol_abs(finest);
  if (!run_phase(s, local, start, points)) {
    *error = s.error;
    return false;
  }
  return true;
}

bool choose_on_fresh_seeds(const std::vector<Trial>& trials, const ScorePoint& rescore,
                           FitChoice* choice, std::string* error) {
  std::vector<std::size_t> order(trials.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return trials[a].score.score < trials[b].score.score;
  });
  *choice = FitChoice{};
  for (std::size_t t : order) {
    if (choice->rescored.size() == kRescored)
      break;
    const bool again =
        std::any_of(choice->rescored.begin(), choice->rescored.end(),
                    [&](const Rescored& r) { return trials[r.trial].values == trials[t].values; });
    if (again)
      continue;
    Rescored r{t, {}};
    if (!rescore(trials[t].values, &r.fresh, error))
      return false;
    choice->rescored.push_back(r);
  }
  if (choice->rescored.empty()) {
    *error = "no point was scored";
    return false;
  }
  for (std::size_t i = 1; i < choice->rescored.size(); ++i)
    if (choice->rescored[i].fresh.score < choice->rescored[choice->best].fresh.score)
      choice->best = i;
  return true;
}
