// SPDX-License-Identifier: MIT
// A fit: the search asks for points, each point's runs go to the pool of workers on the same seeds,
// and the best few are run again on fresh seeds before one is chosen.
#include "fit/fit_command.h"

#include <unistd.h>

#include <cstdio>
#include <map>
#include <memory>

#include "ensemble/progress_line.h"
#include "fileio/file_set.h"
#include "fit/fit_bands.h"
#include "fit/fit_outputs.h"
#include "fit/fit_request.h"
#include "fit/seed_runs.h"
#include "numbers/number_text.h"

namespace {

// A point scored on the fresh seeds, with the spread of its runs kept for fit.csv.
struct FreshPoint {
  explicit FreshPoint(FitTarget t) : target(std::move(t)), bands(target) {}
  FitTarget target;
  FitBands bands;
};

class Fit {
public:
  Fit(const FitRequest& request, Workers* workers, const std::string& folder)
      : r_(request), runs_(workers, request.base, folder, request.jobs),
        progress_(stderr, !request.quiet && isatty(2) == 1,
                  request.trials + static_cast<long long>(kRescored), "points") {}

  // The search's score: the point on the seeds seed .. seed + runs - 1.
  bool score(const std::vector<double>& values, PointScore* out, std::string* error) {
    if (!score_on(values, target_at(values), r_.seed, r_.runs, nullptr, out, error))
      return false;
    best_ = done_ == 0 ? out->score : std::min(best_, out->score);
    shown();
    return true;
  }

  // The fresh score: the next 4 x runs seeds, which no point of the search ran.
  bool rescore(const std::vector<double>& values, PointScore* out, std::string* error) {
    auto& kept = fresh_[values] = std::make_unique<FreshPoint>(target_at(values));
    if (!score_on(values, kept->target, fresh_seed(r_), 4 * r_.runs, &kept->bands, out, error))
      return false;
    shown();
    return true;
  }

  const FreshPoint& fresh(const std::vector<double>& values) const { return *fresh_.at(values); }
  // The search is over: the progress line goes, and the runs' workers, before anything else runs.
  void end() {
    progress_.clear();
    runs_.end_workers();
  }

private:
  // The data as the point compares it: at its day offset.
  FitTarget target_at(const std::vector<double>& values) const {
    FitTarget target = r_.target;
    target.offset = point_offset(r_, values);
    return target;
  }

  bool score_on(const std::vector<double>& values, const FitTarget& target, uint32_t first_seed,
                int count, FitBands* bands, PointScore* out, std::string* error) {
    std::vector<std::vector<DayFigures>> rows;
    if (!runs_.run(point_words(r_, values), first_seed, count, &rows, error))
      return false;
    PointRuns runs(target);
    // In seed order, whatever order they ended in: the sums, and so the scores, are the same
    // bits for any number of jobs.
    for (const std::vector<DayFigures>& one : rows) {
      runs.add_run(one);
      if (bands != nullptr)
        bands->add_run(one);
    }
    return runs.score(out, error);
  }

  void shown() {
    ++done_;
    progress_.update(done_, "best score " + shortest_text(best_));
  }

  const FitRequest& r_;
  SeedRuns runs_;
  ProgressLine progress_;
  long long done_ = 0;
  double best_ = 0;
  std::map<std::vector<double>, std::unique_ptr<FreshPoint>> fresh_;
};

bool fail(const std::string& message, EnsembleFailure* failure) {
  failure->message = message;
  return false;
}

// The failure of a step that ran workers: the stop signal when one came.
bool stopped_or(const Workers& workers, const std::string& message, EnsembleFailure* failure) {
  failure->stop_signal = workers.stop_signal();
  if (failure->stop_signal != 0)
    return fail(message + "; nothing written", failure);
  return fail(message, failure);
}

} // namespace

bool run_fit(const EnsembleOptions& o, EnsembleFailure* failure) {
  FitRequest r;
  if (!read_fit_request(o, &r, &failure->message)) {
    failure->bad_usage = true;
    return false;
  }
  Workers workers;
  FolderClaim claim;
  if (!claim_out_dir(r.out, r.force, &claim, failure))
    return false;
  FileSet set(r.out, fit_output_names());
  if (!set.open(&failure->message))
    return false;
  Fit fit(r, &workers, set.folder());
  std::vector<Trial> trials;
  FitChoice choice;
  std::string error;
  const bool chosen =
      search_fit(
          r.parameters, r.trials,
          [&fit](const auto& v, PointScore* s, std::string* e) { return fit.score(v, s, e); },
          &trials, &error) &&
      choose_on_fresh_seeds(
          trials,
          [&fit](const auto& v, PointScore* s, std::string* e) { return fit.rescore(v, s, e); },
          &choice, &error);
  fit.end();
  if (!chosen)
    return stopped_or(workers, error, failure);
  const std::vector<double>& best = trials[choice.rescored[choice.best].trial].values;
  const FitResult result{
      r, trials, choice, fit.fresh(best).target, fit.fresh(best).bands, described_setup(o)};
  if (!write_fit_outputs(result, &set, &workers, &error))
    return stopped_or(workers, error, failure);
  std::fputs(fit_line(result).c_str(), stdout);
  return true;
}
