// SPDX-License-Identifier: MIT
#include "fit/fit_outputs.h"

#include "fit/fit_plot.h"
#include "numbers/number_text.h"

namespace {

const Trial& chosen_trial(const FitResult& r) {
  return r.trials[r.choice.rescored[r.choice.best].trial];
}

bool write_member(FileSet* set, const std::string& name, const std::string& text,
                  std::string* error) {
  std::FILE* out = set->write(name, error);
  if (out == nullptr)
    return false;
  std::fputs(text.c_str(), out);
  return true;
}

} // namespace

uint32_t fresh_seed(const FitRequest& request) {
  return request.seed + static_cast<uint32_t>(request.runs);
}

std::vector<std::string> fit_output_names() {
  return {"fit.gp", "fit.png", "fit.csv", "best.toml", "trials.csv"};
}

void write_trials_csv(std::FILE* out, const FitResult& r) {
  std::fputs("trial", out);
  for (const FitParameter& p : r.request.parameters)
    std::fprintf(out, ",%s", p.name.c_str());
  std::fputs(",score", out);
  for (const ObservedSeries& s : r.request.target.data.series)
    std::fprintf(out, ",%s_share", kDailyFigureNames[s.figure]);
  std::fputs(",fresh_score,chosen\n", out);
  for (std::size_t t = 0; t < r.trials.size(); ++t) {
    const Trial& trial = r.trials[t];
    std::fprintf(out, "%zu", t);
    for (std::size_t i = 0; i < trial.values.size(); ++i)
      std::fprintf(out, ",%s", fitted_text(r.request.parameters[i], trial.values[i]).c_str());
    std::fprintf(out, ",%s", shortest_text(trial.score.score).c_str());
    for (const double share : trial.score.shares)
      std::fprintf(out, ",%s", shortest_text(share).c_str());
    std::string fresh;
    for (const Rescored& again : r.choice.rescored)
      if (again.trial == t)
        fresh = shortest_text(again.fresh.score);
    const bool chosen = r.choice.rescored[r.choice.best].trial == t;
    std::fprintf(out, ",%s,%d\n", fresh.c_str(), chosen ? 1 : 0);
  }
}

Setup best_setup(const FitResult& r) {
  Setup setup = r.setup;
  setup.params = point_options(r.request, chosen_trial(r).values).params;
  setup.has_seed = true;
  setup.seed = fresh_seed(r.request);
  return setup;
}

namespace {

// "NAME=VALUE" for each fitted value, joined by `between`.
std::string fitted_values(const FitResult& r, const char* between) {
  const Trial& best = chosen_trial(r);
  std::string text;
  for (std::size_t i = 0; i < best.values.size(); ++i)
    text += (i == 0 ? "" : between) + r.request.parameters[i].name + "=" +
            fitted_text(r.request.parameters[i], best.values[i]);
  return text;
}

// The runs behind the chosen point's fresh score: "N runs, seeds A to B".
std::string fresh_runs(const FitResult& r) {
  const uint32_t first = fresh_seed(r.request);
  const int runs = 4 * r.request.runs;
  return std::to_string(runs) + " runs, seeds " + std::to_string(first) + " to " +
         std::to_string(first + static_cast<uint32_t>(runs - 1));
}

std::string fresh_score(const FitResult& r) {
  return shortest_text(r.choice.rescored[r.choice.best].fresh.score);
}

bool write_plot(const FitResult& r, FileSet* set, Workers* workers, std::string* error) {
  const int offset = r.best_target.offset;
  std::vector<std::string> names;
  for (const ObservedSeries& s : r.best_target.data.series)
    names.push_back(
        std::string(kDailyFigureNames[s.figure]) +
        (offset == 0 ? "" : " (model day = data day + " + std::to_string(offset) + ")"));
  const std::string heading =
      "Fresh score " + fresh_score(r) + " over " + fresh_runs(r) + ": " + fitted_values(r, ", ");
  return write_fit_plot(set, workers, names, heading, error);
}

} // namespace

bool write_fit_outputs(const FitResult& r, FileSet* set, Workers* workers, std::string* error) {
  std::FILE* trials = set->write("trials.csv", error);
  if (trials == nullptr)
    return false;
  write_trials_csv(trials, r);
  std::FILE* fit = set->write("fit.csv", error);
  if (fit == nullptr)
    return false;
  write_fit_csv(fit, r.best_target, r.best_bands);
  const std::string note = "# The best point of a fit: " + fitted_values(r, " ") +
                           "; fresh score " + fresh_score(r) + " over " + fresh_runs(r) + ".\n";
  return write_member(set, "best.toml", note + setup_text(best_setup(r)), error) &&
         write_plot(r, set, workers, error) && set->commit(error);
}

std::string fit_line(const FitResult& r) {
  return fresh_score(r) + " " + fitted_values(r, " ") + "\n";
}
