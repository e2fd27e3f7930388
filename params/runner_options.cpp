// SPDX-License-Identifier: MIT
#include "params/runner_options.h"

#include "numbers/number_reading.h"

namespace {

using V = OptionValue;
constexpr OptionGroup kRun = OptionGroup::Run, kProgram = OptionGroup::Program,
                      kEnsemble = OptionGroup::Ensemble, kFit = OptionGroup::Fit;

const RunnerOption kOptions[] = {
    {"seed", '\0', "N", V::Whole, 0, 4294967295LL, " (the time)", kRun},
    {"max-days", '\0', "N", V::Whole, 0, 2147483646, ": stop once the day exceeds N (32768)", kRun},
    {"csv", '\0', "PATH", V::File, 0, 0, "write the daily samples as CSV (- for stdout)", kRun},
    {"report", '\0', "PATH", V::File, 0, 0,
     "also write the report line, then the run's end figures\n(TOTAL DEAD: N, ...), to PATH (- for "
     "stdout)",
     kRun},
    {"setup", '\0', "FILE", V::File, 0, 0,
     "take the run options of a setup file (TOML); options on the\ncommand line win over it",
     kProgram},
    {"save-setup", '\0', "FILE", V::File, 0, 0,
     "write the setup the other options describe, then exit", kProgram},
    {"help", 'h', "", V::Flag, 0, 0, "this text", kProgram},
    {"version", '\0', "", V::Flag, 0, 0, "the program's name and version", kProgram},
    {"runs", '\0', "N", V::Whole, 1, kMaxRunsPerPoint,
     " runs per point, seeds SEED+0 .. SEED+N-1 (1; with --fit 8)", kEnsemble},
    {"vary", '\0', "NAME=LIST", V::Text, 0, 0,
     "a run option without dashes over a LIST of values, either\nA,B,C or FROM:TO:STEP; repeat "
     "for a cartesian product",
     kEnsemble},
    {"jobs", '\0', "J", V::Whole, 1, kMostJobs, " runs at once (the processors online)", kEnsemble},
    {"out", '\0', "DIR", V::Folder, 0, 0,
     "where the run files, runs.csv, ends.csv, points.csv,\nsummary.csv, bands.png and a setup "
     "per point go; a new or\nempty folder",
     kEnsemble},
    {"plot", '\0', "SERIES,...", V::Text, 0, 0,
     "1..9 daily CSV columns for bands.png's panels (infected,\nnewly_infected,bedridden,dead,"
     "vaccinated,immune)",
     kEnsemble},
    {"plot-days", '\0', "N", V::Whole, 1, kMaxEnsembleDays,
     ": bands.png's days end at N (the last day that 5 %\nof some point's runs reach)", kEnsemble},
    {"force", '\0', "", V::Flag, 0, 0, "use DIR even when it is not empty", kEnsemble},
    {"quiet", '\0', "", V::Flag, 0, 0, "no progress line on stderr", kEnsemble},
    {"plan", '\0', "", V::Flag, 0, 0, "write DIR's manifest and print one command per run",
     kEnsemble},
    {"merge", '\0', "DIR", V::Folder, 0, 0, "merge the run files of a planned DIR", kEnsemble},
    {"fit", '\0', "DATA.csv", V::File, 0, 0,
     "search the --fit-param values whose runs come closest to\nDATA.csv (a day column, then "
     "daily CSV columns); trials.csv,\nbest.toml, fit.csv and fit.png go into --out DIR",
     kFit},
    {"fit-param", '\0', "NAME=LOW:HIGH", V::Text, 0, 0,
     "a run parameter to fit within its range, or day-offset:\ndata day d is model day d + "
     "offset; repeat for each",
     kFit},
    {"fit-weight", '\0', "SERIES=W", V::Text, 0, 0,
     "the weight of DATA.csv's column SERIES in the score (1)", kFit},
    {"trials", '\0', "N", V::Whole, 1, kMostTrials, " points searched at most (200)", kFit},
};

bool fail(const RunnerOption& row, const std::string& why, std::string* error) {
  *error = std::string("--") + row.name + why;
  return false;
}

} // namespace

RowSpan<RunnerOption> runner_options() {
  return {kOptions, sizeof kOptions / sizeof kOptions[0]};
}

const RunnerOption* find_runner_option(const std::string& name) {
  for (const RunnerOption& row : runner_options())
    if (name == row.name)
      return &row;
  return nullptr;
}

bool read_runner_value(const RunnerOption& row, const std::string& text, long long* number,
                       std::string* error) {
  switch (row.value) {
  case OptionValue::Flag:
    *number = text != "0";
    return text == "" || text == "0" || text == "1" ||
           fail(row, " takes no value, or 0 or 1", error);
  case OptionValue::Whole:
    return parse_whole_number(text, row.low, row.high, number) ||
           fail(row,
                " must be a whole number from " + std::to_string(row.low) + " to " +
                    std::to_string(row.high),
                error);
  case OptionValue::File:
    return !text.empty() || fail(row, " needs a file path", error);
  case OptionValue::Folder:
    return !text.empty() || fail(row, " needs a folder", error);
  case OptionValue::Text:
    break;
  }
  return true;
}
