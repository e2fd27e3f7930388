#include "ensemble/ensemble_options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "ensemble/manifest.h"
#include "ensemble/plan.h"

namespace {

// The words of `line`, split at single spaces only, so a word may hold a line break.
bool parse(const std::string& line, EnsembleOptions* o, std::string* error) {
  std::istringstream words(line);
  std::vector<std::string> args{"epidemic_batch"};
  for (std::string w; std::getline(words, w, ' ');)
    args.push_back(w);
  std::vector<char*> argv;
  for (std::string& a : args)
    argv.push_back(a.data());
  return parse_ensemble_options(static_cast<int>(argv.size()), argv.data(), 99, 2, o, error);
}

} // namespace

TEST(EnsembleOptions, RefusesBadUsageWithOneLine) {
  for (auto [args, says] : std::vector<std::pair<const char*, const char*>>{
           {"--out d --vary infection-rate=1:5:0", "STEP"},
           {"--out d --vary infection-rate=1:2", "FROM:TO:STEP"},
           {"--out d --vary infection-rate=10,200",
            "--infection-rate must be a whole number from 0"},
           {"--out d --vary lockdown=0,,1", "--lockdown must be"},
           {"--out d --vary seed=1,2", "seed"},
           {"--out d --vary lockdown=0,1 --vary lockdown=1", "twice"},
           {"--out d --lockdown 1 --vary lockdown=0,1", "both given and varied"},
           {"--out d --vary lockdown", "NAME=LIST"},
           {"--runs 3", "--out DIR is needed"},
           {"--out d --jobs 257", "--jobs must be a whole number from 1 to 256"},
           {"--out d --csv x.csv", "--csv cannot be used with --out"},
           {"--out d --population \n5", "control characters"},
           {"--merge d --runs 2", "--merge takes no other options"},
           {"--out d --runs 1000 --vary population=1:200:1 --vary infection-rate=0:100:1",
            "more than"}}) {
    EnsembleOptions o;
    std::string error;
    EXPECT_FALSE(parse(args, &o, &error)) << args;
    EXPECT_NE(error.find(says), std::string::npos) << args << ": " << error;
    // Only what the arguments held breaks a line; the printer escapes it.
    const std::string given = args;
    EXPECT_EQ(std::count(error.begin(), error.end(), '\n'),
              std::count(given.begin(), given.end(), '\n'))
        << error;
  }
}

// A stepped list holds both ends though the steps do not add up exactly in binary.
TEST(EnsembleOptions, PointsRunInGivenOrderLastFastestOnCommonSeeds) {
  EnsembleOptions o, one;
  std::string error;
  ASSERT_TRUE(parse("--population 900 --runs 3 --seed 4294967295 --vary lockdown=1:0:-1 "
                    "--vary=quarantine-rate=0.1:0.3:0.1 --out d --jobs 4",
                    &o, &error))
      << error;
  EXPECT_FALSE(is_single_run(o));
  EXPECT_EQ(o.jobs, 4);
  const std::vector<std::string> names{"lockdown", "quarantine-rate"};
  Plan plan{"/bin/epidemic_batch", "/x", o.seed, o.runs, o.fixed, names, {}};
  plan.points = cartesian_points(o.varied);
  ASSERT_EQ(plan.total(), 18);
  EXPECT_EQ(shell_line(plan.run_command(4, 2)),
            "/bin/epidemic_batch --population 900 --lockdown 0 --quarantine-rate 0.2 --seed 1 "
            "--csv /x/runs/4-2.csv --report /x/runs/4-2.txt")
      << "seeds wrap modulo 2^32";
  ASSERT_TRUE(parse("--runs 1 --jobs 3 --seed 5", &one, &error)) << error;
  EXPECT_TRUE(is_single_run(one)) << "one run without --out is a plain run";
  EXPECT_EQ(one.single.seed, 5u);
}

TEST(EnsembleOptions, ManifestReadsBackWhatWasWritten) {
  Plan plan{"", TEST_BINARY_DIR, 4000000000u, 7, {}, {"lockdown", "death-rate"}, {}}, back;
  plan.fixed = {{"--inactivity-schedule", "0:1,\t2:3\n"}, {"--population", "3000"}};
  plan.points = {{"0", "5"}, {"1", " 7\\x"}};
  std::string error;
  ASSERT_TRUE(write_manifest(plan, "epidemic_batch --runs 7\n--out x", &error)) << error;
  ASSERT_TRUE(read_manifest(TEST_BINARY_DIR, &back, &error)) << error;
  EXPECT_EQ(std::tie(back.seed, back.runs, back.fixed, back.varied_names, back.points),
            std::tie(plan.seed, plan.runs, plan.fixed, plan.varied_names, plan.points));
  EXPECT_TRUE(back.program.empty()) << "a manifest names nothing to run";
}
