// SPDX-License-Identifier: MIT
// epidemic_batch --fit as its users run it: what it refuses, what it leaves in DIR, and that a
// second reader (the ensemble's summary, tomllib) finds the same figures there.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>

#include "fit_data.h"

namespace {

const std::string kPlace = "--population 600 --arena-size 100 ";

// Data of a run on a seed no fit below uses, with a blank cell.
std::string small_data() {
  const std::string csv = temp_path("small.csv");
  EXPECT_EQ(batch(kPlace + "--infection-rate 30 --seed 4242 --csv " + csv).status, 0);
  std::vector<std::string> lines =
      split_lines(data_columns(slurp(csv), {"infected", "dead"}, 2, 25));
  lines.at(3) = "3," + lines[3].substr(lines[3].rfind(','));
  const std::string path = temp_path("data.csv");
  std::ofstream out(path);
  for (const std::string& line : lines)
    out << line << "\n";
  return path;
}

std::string fit_args(const std::string& data, const std::string& out) {
  return "--fit " + data + " " + kPlace +
         "--fit-param infection-rate=5:60 --fit-param day-offset=0:4 --trials 14 --runs 3 "
         "--seed 90 --quiet --out " +
         out;
}

} // namespace

TEST(FitCommand, refusalsAreOneLineExitTwoAndWriteNothing) {
  const std::string data = small_data(), dir = TEST_BINARY_DIR "/refused";
  const std::string bad = temp_path("bad.csv"), big = temp_path("big.csv");
  std::ofstream(big) << "day,dead\n";
  std::filesystem::resize_file(big, 17 << 20);
  const std::string good = " --fit-param infection-rate=5:9 --out " + dir;
  const std::string fit = "--fit " + data;
  // The arguments, or with "DATA" the data file's text; and a part of the reason.
  const std::pair<std::string, std::string> refused[] = {
      {"--fit /no/such.csv" + good, "cannot read /no/such.csv"},
      {"--fit /tmp" + good, "not a regular file"},
      {"--fit " + big + good, "cannot read " + big},
      {"DATAdead\n2\n", "no day column"},
      {"DATAday,dead\n1,2\n1,3\n", "3: day 1 after day 1"},
      {"DATAday,dead\n0,2\n", "2: day \"0\""},
      {"DATAday,deaths\n1,2\n", "unknown column"},
      {"DATAday,dead\n1,-2\n", "not a finite number from 0 up"},
      {"DATAday,dead\n1,two\n", "not a finite number from 0 up"},
      {"DATAday,dead\n1,\n2,\n", "has no value"},
      {std::string("DATAday,dead\n1,2\0\n", 18), "NUL byte"},
      {fit + " --fit-param speed=1:2 --out " + dir, "not a run parameter"},
      {fit + " --fit-param infection-rate=5:101 --out " + dir, "within its range"},
      {fit + " --fit-param infection-rate=9:5 --out " + dir, "LOW below HIGH"},
      {fit + " --infection-rate 4" + good, "both given and fitted"},
      {fit + " --fit-weight bedridden=1" + good, "no such column"},
      {fit + " --trials 0" + good, "--trials must be"},
      {fit + " --vary population=1,2" + good, "cannot be used with --vary"},
      {fit + " --plan" + good, "cannot be used with --vary, --plan"},
      {"--fit-param infection-rate=5:9 --out " + dir, "go with --fit"},
      {fit + " --fit-param infection-rate=5:9", "--fit needs --out"}};
  for (const auto& [args, reason] : refused) {
    std::filesystem::remove_all(dir);
    const bool text = args.rfind("DATA", 0) == 0;
    if (text)
      std::ofstream(bad, std::ios::binary) << args.substr(4);
    const Result r = batch(text ? "--fit " + bad + good : args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_NE(r.err.find(reason), std::string::npos) << args << ": " << r.err;
    EXPECT_EQ(split_lines(r.err).size(), 1u) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir)) << args;
  }
}

// The same files for one job and two, best.toml as tomllib reads it, and fit.csv as the summary
// of an ensemble of best.toml's runs, which starts each run as a program of its own.
TEST(FitCommand, outputsAgreeWithEachOtherAndWithAnEnsembleOfTheBestPoint) {
  const std::string data = small_data(), one = fresh("jobs1"), two = fresh("jobs2");
  const Result first = batch(fit_args(data, one) + " --jobs 1");
  const Result second = batch(fit_args(data, two) + " --jobs 2");
  ASSERT_EQ(first.status, 0) << first.err;
  ASSERT_EQ(second.status, 0) << second.err;
  EXPECT_EQ(first.out, second.out);
  for (const char* name : {"trials.csv", "best.toml", "fit.csv", "fit.gp"})
    EXPECT_EQ(slurp(one + "/" + name), slurp(two + "/" + name)) << name;
  EXPECT_EQ(names_in(one), (std::set<std::string>{".epidemic_batch.lock", "best.toml", "fit.csv",
                                                  "fit.gp", "fit.png", "trials.csv"}));

  // The chosen trial: its fresh score and values are the line's, and best.toml's.
  const std::vector<std::string> trials = split_lines(slurp(one + "/trials.csv"));
  ASSERT_EQ(trials[0], "trial,infection-rate,day-offset,score,infected_share,dead_share,"
                       "fresh_score,chosen");
  EXPECT_LE(trials.size(), 15u);
  std::vector<std::string> chosen;
  int fresh_scores = 0;
  for (std::size_t t = 1; t < trials.size(); ++t) {
    const std::vector<std::string> c = cells(trials[t]);
    EXPECT_NEAR(std::stod(c[3]), std::stod(c[4]) + std::stod(c[5]), 1e-9);
    fresh_scores += !c[6].empty();
    if (c[7] == "1")
      chosen = c;
  }
  EXPECT_EQ(fresh_scores, 5);
  ASSERT_EQ(chosen.size(), 8u);
  EXPECT_EQ(first.out,
            chosen[6] + " infection-rate=" + chosen[1] + " day-offset=" + chosen[2] + "\n");
  const Result toml =
      sh("/usr/bin/python3 -c \"import tomllib; s = tomllib.load(open('" + one +
         "/best.toml', 'rb')); print(s['run']['infection-rate'], s['run']['seed'])\"");
  EXPECT_EQ(std::stod(toml.out), std::stod(chosen[1])) << toml.err;
  EXPECT_EQ(toml.out.substr(toml.out.find(' ')), " 93\n"); // the first fresh seed: 90 + 3 runs

  // fit.csv against the summary of best.toml's 12 runs: data day d is model day d + offset.
  const std::string ensemble = fresh("best_runs");
  ASSERT_EQ(batch("--setup " + one + "/best.toml --runs 12 --quiet --out " + ensemble).status, 0);
  std::map<std::string, std::string> summary; // "day,series" -> "mean,...,p95"
  for (const std::string& line : split_lines(slurp(ensemble + "/summary.csv"))) {
    const std::vector<std::string> c = cells(line);
    summary[c[1] + "," + c[2]] =
        c[4] + "," + c[5] + "," + c[6] + "," + c[7] + "," + c[8] + "," + c[9];
  }
  const int offset = std::stoi(chosen[2]);
  double score = 0, most[2] = {0, 0};
  std::vector<std::vector<std::string>> rows;
  for (const std::string& line : split_lines(slurp(one + "/fit.csv")))
    rows.push_back(cells(line));
  ASSERT_EQ(rows[0].size(), 15u);
  EXPECT_EQ(rows[0][1] + rows[0][7] + rows[0][14], "infected_datainfected_p95dead_p95");
  for (std::size_t k = 1; k < rows.size(); ++k)
    for (const std::size_t s : {0, 1}) {
      const std::vector<std::string>& r = rows[k];
      const std::string key =
          std::to_string(std::stoi(r[0]) + offset) + (s ? ",dead" : ",infected");
      std::string model = r[2 + 7 * s];
      for (std::size_t c = 3 + 7 * s; c < 8 + 7 * s; ++c)
        model += "," + r[c];
      EXPECT_EQ(model, summary[key]) << key;
      if (!r[1 + 7 * s].empty())
        most[s] = std::max(most[s], std::stod(r[1 + 7 * s]));
    }
  for (std::size_t k = 1; k < rows.size(); ++k)
    for (const std::size_t s : {0, 1})
      if (!rows[k][1 + 7 * s].empty())
        score += std::fabs(std::stod(rows[k][1 + 7 * s]) - std::stod(rows[k][2 + 7 * s])) /
                 std::max(most[s], 1.0);
  EXPECT_NEAR(score, std::stod(chosen[6]), 1e-9 * score);
}

TEST(FitCommand, aStopSignalLeavesNothing) {
  const std::string dir = fresh("stopped");
  const Result r = sh(BATCH_BINARY " " + fit_args(small_data(), dir) +
                      " --runs 40 & pid=$!; until ls -d " + dir +
                      "/outputs.tmp.* >/dev/null 2>&1 || ! kill -0 $pid; do sleep 0.01; done; "
                      "kill -INT $pid; wait $pid; echo $?");
  EXPECT_EQ(r.out, "130\n") << r.err;
  EXPECT_EQ(names_in(dir), std::set<std::string>{".epidemic_batch.lock"});
}
