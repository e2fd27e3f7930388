// SPDX-License-Identifier: MIT
// Every refusal of the batch runner's command line, read in this process as main reads it: a
// value that each row of the two tables does not take, then the options that go wrong together.
#include "ensemble/ensemble_options.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct Refusal {
  std::string args; // the words, each ended by '|'
  std::string message;
};

// Also the case's name in ctest, a newline shown as \n.
void PrintTo(const Refusal& r, std::ostream* out) {
  for (const char c : r.args)
    *out << (c == '\n' ? std::string("\\n") : std::string(1, c));
}

std::string whole(const std::string& name, long long low, long long high) {
  return "--" + name + " must be a whole number from " + std::to_string(low) + " to " +
         std::to_string(high);
}

const char* const kSetpoints = " must be 1 to 10 setpoints DAY:VALUE separated by commas, with "
                               "whole days rising (-1 = not used) and finite values";

// Past each end of a range, a flag's value neither 0 nor 1, an empty path, a missing value.
std::vector<Refusal> table_refusals() {
  std::vector<Refusal> out;
  for (const ParamRow& row : param_rows())
    if (row.role == ParamRole::RunParameter)
      out.push_back({std::string("--") + row.name + "=" +
                         std::to_string(static_cast<long long>(row.high) + 1) + "|",
                     range_message(row)});
  for (const ScheduleRow& row : schedule_rows())
    out.push_back(
        {std::string("--") + row.name + "|5:1,3:1|", std::string("--") + row.name + kSetpoints});
  for (const RunnerOption& row : runner_options()) {
    const std::string name = std::string("--") + row.name;
    const bool flag = row.value == OptionValue::Flag;
    out.push_back({name + (flag ? "=2|" : "|"),
                   name + (flag ? " takes no value, or 0 or 1" : " needs a value")});
    for (const long long v : {row.low - 1, row.high + 1})
      if (row.value == OptionValue::Whole)
        out.push_back({name + "|" + std::to_string(v) + "|", whole(row.name, row.low, row.high)});
    if (row.value == OptionValue::File || row.value == OptionValue::Folder)
      out.push_back({name + "||", name + (row.value == OptionValue::File ? " needs a file path"
                                                                         : " needs a folder")});
  }
  return out;
}

const std::vector<Refusal> kTogether = {
    {"--population|5 |", whole("population", 0, 350000)},
    {"--population|1e3|", whole("population", 0, 350000)},
    {"--out|d|--runs|+2|", whole("runs", 1, 100000)},
    {"--quarantine-rate| 5|", "--quarantine-rate must be a number from 0 to 100"},
    {"--pop|5|", "unknown option --pop (see --help)"},
    {"-x|", "unknown option -x (see --help)"},
    {"--" + std::string(90, 'x') + "|",
     "unknown option --" + std::string(78, 'x') + "… (see --help)"},
    {"--|--population|5|", "unexpected argument --population (see --help)"},
    {"--out|d|--vary|infection-rate=1:5:0|",
     "--vary infection-rate: STEP must not be 0 and must lead from FROM to TO"},
    {"--out|d|--vary|infection-rate=1:2|",
     "--vary infection-rate: LIST must be A,B,... or FROM:TO:STEP"},
    {"--out|d|--vary|infection-rate=10,200|", whole("infection-rate", 0, 100)},
    {"--out|d|--vary|lockdown=0,,1|", whole("lockdown", 0, 1)},
    {"--out|d|--vary|seed=1,2|", "--vary seed: not a run option that takes one number"},
    {"--out|d|--vary|lockdown=0,1|--vary|lockdown=1|", "--vary lockdown is given twice"},
    {"--out|d|--lockdown|1|--vary|lockdown=0,1|", "--lockdown is both given and varied"},
    {"--out|d|--vary|lockdown|", "--vary needs NAME=LIST"},
    {"--plot|dead|", "--out DIR is needed with --runs above 1, --vary, --plan, --force or --plot"},
    {"--out|d|--max-days|32769|",
     "--max-days must be a whole number from 0 to 32768 in an ensemble"},
    {"--out|d|--vary|population=1:11000:1|", "more than 10000 points"},
    {"--out|d|--runs|100000|--vary|population=1:101:1|", "more than 10000000 runs in all"},
    {"--out|d|--report|x|",
     "--report cannot be used with --out: every run writes its own files in DIR/runs"},
    {"--out|d|--population|\n5|", "an ensemble's arguments must not hold control characters: \n5"},
    {"--merge|d|--plot-days|9|", "--merge takes no other options but --quiet"},
};

class Refused : public testing::TestWithParam<Refusal> {};

TEST_P(Refused, WithItsOneLineMessage) {
  std::vector<std::string> words{"epidemic_batch"};
  for (size_t at = 0, bar; (bar = GetParam().args.find('|', at)) != std::string::npos; at = bar + 1)
    words.push_back(GetParam().args.substr(at, bar - at));
  std::vector<char*> argv;
  for (std::string& word : words)
    argv.push_back(word.data());
  EnsembleOptions options;
  std::string error;
  EXPECT_FALSE(
      parse_ensemble_options(static_cast<int>(argv.size()), argv.data(), 1, 1, &options, &error));
  EXPECT_EQ(error, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(EachRowOfTheTables, Refused, testing::ValuesIn(table_refusals()));
INSTANTIATE_TEST_SUITE_P(Together, Refused, testing::ValuesIn(kTogether));

} // namespace
