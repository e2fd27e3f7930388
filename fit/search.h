// SPDX-License-Identifier: MIT
#pragma once
// The search for the parameter point whose runs come closest to the observed data, within bounds
// NAME=LOW:HIGH, and the choice of the best point on fresh seeds. Scoring a point is the caller's
// (it runs the point's seeds); this only chooses which points to score.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "fit/score.h"

// One searched parameter. Its values are the multiples of its step within [low, high]: 1 for a
// whole parameter, 10^-decimals for a real one, so that two points that read the same at the
// parameter's precision are one point.
struct FitParameter {
  std::string name;
  double low, high;
  bool whole;       // searched in whole numbers
  int decimals = 0; // a real parameter's precision: 0 to kMostDecimals
};
constexpr int kMostDecimals = 9;

// Reads "NAME=LOW:HIGH" with LOW below HIGH, both finite. False with a one-line reason quoting
// the text otherwise.
bool parse_bound(const std::string& text, std::string* name, double* low, double* high,
                 std::string* error);

// Scores a point (the values in the parameters' order) into *score; false with a one-line reason
// in *error when it cannot.
using ScorePoint =
    std::function<bool(const std::vector<double>& values, PointScore* score, std::string* error)>;

// A point scored during the search.
struct Trial {
  std::vector<double> values; // in the parameters' order, each at its precision
  PointScore score;
};

// The objective calls a search may make per point of its budget: a point met again is answered
// from what it scored and costs no budget, so only this cap ends a search that keeps meeting
// points it has scored.
constexpr long long kCallsPerPoint = 20;

// Searches the parameters' box for the lowest score: most of the budget on a global search, the
// rest on a local one from the best point found. `budget` (at least 1) caps the distinct points
// scored; no point is scored twice, and the search may end before its budget once the local search
// has closed in to the parameters' precision. *trials holds every point scored, in the order
// scored. Deterministic for the same scores. False with a reason in *error on bounds that hold
// fewer than two values, or when `score` fails (the trials so far are kept).
bool search_fit(const std::vector<FitParameter>& parameters, int budget, const ScorePoint& score,
                std::vector<Trial>* trials, std::string* error);

// How many of the best trials are scored again on fresh seeds.
constexpr std::size_t kRescored = 5;

// A trial scored again.
struct Rescored {
  std::size_t trial; // its index in the trials
  PointScore fresh;  // its score on the fresh seeds
};

// The best point of a search, chosen on fresh seeds: the best of many points on the same seeds
// is partly the luckiest, so the kRescored trials of lowest score (distinct points; on a tie the
// earlier) are each scored again by `rescore`, and the lowest fresh score wins (on a tie, the
// better search score).
struct FitChoice {
  std::vector<Rescored> rescored; // lowest search score first
  std::size_t best = 0;           // the chosen one, an index into `rescored`
};

// False with a reason in *error when there is no trial or `rescore` fails.
bool choose_on_fresh_seeds(const std::vector<Trial>& trials, const ScorePoint& rescore,
                           FitChoice* choice, std::string* error);
