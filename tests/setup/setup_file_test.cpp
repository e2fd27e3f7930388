// SPDX-License-Identifier: MIT
// Setup files: what is written reads back to the same values, in this program and in Python's
// tomllib; the batch runner takes a file as the options it holds; a bad file is refused whole.
#include "setup/setup_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>

#include "tests/tools/batch_process.h"

namespace {

const std::string kDir = TEST_BINARY_DIR "/setup_test";
const char* const kRun = " --max-days 12 --population 600 --arena-size 100";

std::string put(const std::string& name, const std::string& text) {
  const std::string path = kDir + "/" + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

bool exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

class SetupFile : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(0, sh("rm -rf '" + kDir + "' && mkdir -p '" + kDir + "'").status);
  }
};

// Every row away from its first value, both schedules in use, a seed.
Setup unusual_setup() {
  Setup s = initial_setup();
  for (const ParamRow& row : param_rows()) {
    const double v = row.kind == ParamKind::Real ? row.low + (row.high - row.low) / 3.0 : row.high;
    if (row.role == ParamRole::DisplaySetting)
      s.display[row.name] = row.kind == ParamKind::Toggle ? 0.0 : v;
    else
      store_param(row, row.kind == ParamKind::Toggle ? 0.0 : v, &s.params);
  }
  s.schedules.lazy_policy = initial_schedule(schedule_rows().first[0]);
  s.schedules.lazy_policy[3].value = 0.1 + 0.2;
  s.schedules.lazy_policy_on = 1;
  std::string error;
  EXPECT_TRUE(parse_schedule(schedule_rows().first[1], "0:1.5,-1:0,4:2",
                             &s.schedules.quarantine_policy, &error));
  s.schedules.quarantine_policy_on = 1;
  s.has_seed = true;
  s.seed = 4294967295u;
  return s;
}

TEST_F(SetupFile, ValuesReadBackEqual) {
  const ::Setup written = unusual_setup();
  ::Setup read;
  std::string error;
  ASSERT_TRUE(parse_setup(setup_text(written), "x.toml", &read, &error)) << error;
  for (const ParamRow& row : param_rows()) {
    if (row.role != ParamRole::RunParameter)
      continue;
    EXPECT_EQ(param_value(row, written.params), param_value(row, read.params)) << row.name;
  }
  EXPECT_EQ(written.display, read.display);
  EXPECT_EQ(schedule_text(written.schedules.lazy_policy),
            schedule_text(read.schedules.lazy_policy));
  EXPECT_EQ("0:1.5,-1:0,4:2", schedule_text(read.schedules.quarantine_policy));
  EXPECT_TRUE(read.schedules.lazy_policy_on && read.schedules.quarantine_policy_on);
  EXPECT_EQ(4294967295u, read.seed);
  EXPECT_EQ(setup_text(written), setup_text(read));
}

TEST_F(SetupFile, RealsAreShortestAndStayReal) {
  for (const double v : {0.5, 20.0, 0.1 + 0.2, 100.0 / 3.0, 1e-7, 1e300, -2.5})
    EXPECT_EQ(v, std::strtod(real_text(v).c_str(), nullptr)) << real_text(v);
  EXPECT_EQ("20.0", real_text(20.0));
  EXPECT_EQ("0.30000000000000004", real_text(0.1 + 0.2));
  EXPECT_EQ("1e-07", real_text(1e-7));
}

// A missing key takes the table's first value, whatever the Setup held before.
TEST_F(SetupFile, MissingKeysTakeFirstValues) {
  ::Setup read = unusual_setup();
  std::string error;
  ASSERT_TRUE(parse_setup("format = 1 # nothing else\n", "x.toml", &read, &error)) << error;
  EXPECT_EQ(setup_text(initial_setup()), setup_text(read));
}

TEST_F(SetupFile, FileRunsAsItsOptionsAndTheCommandLineWins) {
  const std::string options = " --population 700 --infection-rate 40 --quarantine-rate 2.25 "
                              "--hard-edge 0 --inactivity-schedule 0:5,6:60";
  const std::string file = kDir + "/a.toml";
  ASSERT_EQ(0, batch("--arena-size 100 --max-days 12" + options + " --save-setup " + file).status);
  ASSERT_EQ(0,
            batch("--arena-size 100 --max-days 12" + options + " --seed 5 --csv " + kDir + "/b.csv")
                .status);
  ASSERT_EQ(0,
            batch("--setup " + file + " --max-days 12 --seed 5 --csv " + kDir + "/a.csv").status);
  EXPECT_EQ(slurp(kDir + "/b.csv"), slurp(kDir + "/a.csv"));
  // Before or after --setup, an option on the command line wins.
  const Result changed =
      batch("--infection-rate 60 --setup " + file + " --max-days 12 --seed 5 --csv -");
  EXPECT_EQ(changed.out,
            batch("--setup " + file + " --infection-rate 60 --max-days 12 --seed 5 --csv -").out);
  EXPECT_EQ(changed.out, batch(std::string(kRun) +
                               " --population 700 --infection-rate 60 --quarantine-rate 2.25 "
                               "--hard-edge 0 --inactivity-schedule 0:5,6:60 --seed 5 --csv -")
                             .out);
  EXPECT_NE(changed.out, slurp(kDir + "/a.csv"));
}

// An independent reader reads the same values: Python's tomllib.
TEST_F(SetupFile, TomllibReadsTheSameValues) {
  const std::string file = kDir + "/py.toml";
  ASSERT_EQ(0, batch("--population 1234 --quarantine-rate 0.30000000000000004 --hard-edge 0 "
                     "--quarantine-schedule 0:1.5,10:20 --seed 9 --save-setup " +
                     file)
                   .status);
  const Result py =
      sh("python3 -c 'import sys, tomllib\n"
         "d = tomllib.load(open(sys.argv[1], \"rb\"))\n"
         "r = d[\"run\"]\n"
         "ok = d[\"format\"] == 1 and r[\"population\"] == 1234 and "
         "r[\"quarantine-rate\"] == 0.1 + 0.2 and r[\"hard-edge\"] is False and "
         "r[\"lockdown\"] is True and r[\"seed\"] == 9 and type(r[\"speed\"] "
         "if \"speed\" in r else 0.5) is float and "
         "r[\"quarantine-schedule\"] == \"0:1.5,10:20\" and "
         "\"inactivity-schedule\" not in r and d[\"display\"][\"speed\"] == 0.01 and "
         "type(r[\"arena-size\"]) is int and len(r) == 17 and len(d[\"display\"]) == 7\n"
         "print(ok)' " +
         file);
  EXPECT_EQ("True\n", py.out) << py.err;
}

TEST_F(SetupFile, EnsembleWritesItsSetupAndNeverReadsTheFileAgain) {
  const std::string file = put("e.toml", "format = 1\n[run]\npopulation = 500\narena-size = 100\n"
                                         "infection-rate = 30\ninfection-length = 7\nseed = 21\n");
  const std::string sweep = " --max-days 10 --runs 2 --vary infection-rate=20,40 --quiet --jobs 2";
  ASSERT_EQ(0, batch("--setup " + file + sweep + " --out " + kDir + "/direct").status);
  ::Setup left;
  std::string error;
  ASSERT_TRUE(read_setup(kDir + "/direct/setup.toml", &left, &error)) << error;
  EXPECT_EQ(500, left.params.population);
  EXPECT_EQ(7, left.params.infection_length);
  EXPECT_TRUE(left.has_seed);
  EXPECT_EQ(21u, left.seed);
  const Result plan = batch("--setup " + file + sweep + " --out " + kDir + "/planned --plan");
  ASSERT_EQ(0, plan.status) << plan.err;
  ASSERT_EQ(0, std::remove(file.c_str()));
  for (const std::string& line : split_lines(plan.out))
    ASSERT_EQ(0, sh(line).status) << line;
  ASSERT_EQ(0, batch("--merge " + kDir + "/planned --quiet").status);
  EXPECT_EQ(slurp(kDir + "/direct/summary.csv"), slurp(kDir + "/planned/summary.csv"));
  EXPECT_EQ(slurp(kDir + "/direct/setup.toml"), slurp(kDir + "/planned/setup.toml"));
}

// Written in place of a link at its name, never through it.
TEST_F(SetupFile, EnsembleReplacesALinkAtSetupToml) {
  put("target", "kept");
  ASSERT_EQ(0, sh("mkdir " + kDir + "/d && ln -s ../target " + kDir + "/d/setup.toml").status);
  ASSERT_EQ(0, batch(std::string(kRun) + " --seed 1 --out " + kDir + "/d --force --plan").status);
  EXPECT_EQ("kept", slurp(kDir + "/target"));
  ::Setup left;
  std::string error;
  EXPECT_TRUE(read_setup(kDir + "/d/setup.toml", &left, &error)) << error;
}

struct BadFile {
  const char* name;
  std::string text;
  const char* reason; // what the one line says after "FILE:"
};

TEST_F(SetupFile, BadFilesExitTwoWithOneLineAndWriteNothing) {
  const BadFile bad[] = {
      {"syntax", "format = 1\n[run\n", "2: Error while parsing"},
      {"unknown", "format = 1\n[run]\ninfection-rte = 3\n",
       "3: unknown key 'infection-rte' in [run], did you mean 'infection-rate'?"},
      {"display-key", "format = 1\n[display]\nspeeed = 1.0\n",
       "3: unknown key 'speeed' in [display], did you mean 'speed'?"},
      {"type", "format = 1\n\n[run]\nhard-edge = 1\n",
       "4: hard-edge must be true or false, not an integer"},
      {"real-for-whole", "format = 1\n[run]\npopulation = 3.0\n",
       "3: population must be an integer, not a real number"},
      {"range", "format = 1\n[run]\ninfection-length = 0\n",
       "3: --infection-length must be a whole number from 1 to 90"},
      {"real-range", "format = 1\n[run]\nquarantine-rate = 100.5\n",
       "3: --quarantine-rate must be a number from 0 to 100"},
      {"seed", "format = 1\n[run]\nseed = -1\n",
       "3: --seed must be a whole number from 0 to 4294967295"},
      {"order", "format = 1\n[run]\nquarantine-schedule = \"0:1,20:2,10:3\"\n",
       "3: --quarantine-schedule must be 1 to 10 setpoints"},
      {"no-format", "[run]\npopulation = 5\n", "1: format = 1 is missing"},
      {"format-2", "format = 2\n", "1: format must be 1"},
      {"nul", std::string("format = 1\n[run]\0\n", 18), "2: not a text file (a NUL byte)"},
      {"utf8", "format = 1\n# caf\xe9\n", "2: Encountered invalid utf-8"},
      {"huge", "format = 1\n" + std::string(70000, '#') + "\n", " larger than 64 KiB"},
  };
  const std::string out = kDir + "/out.csv", saved = kDir + "/saved.toml";
  std::vector<std::pair<std::string, std::string>> cases;
  for (const BadFile& b : bad)
    cases.emplace_back(put(std::string(b.name) + ".toml", b.text), b.reason);
  cases.emplace_back(kDir + "/missing.toml", " cannot read: No such file or directory");
  ASSERT_EQ(0, sh("mkfifo " + kDir + "/fifo.toml").status);
  cases.emplace_back(kDir + "/fifo.toml", " not a regular file");
  cases.emplace_back(kDir, " not a regular file");
  for (const auto& [path, reason] : cases) {
    for (const std::string& tail :
         {" --csv " + out, " --save-setup " + saved, " --runs 2 --out " + kDir + "/ens"}) {
      const Result r = batch(std::string(kRun) + " --setup " + path + tail);
      EXPECT_EQ(2, r.status) << path;
      EXPECT_EQ(0u, r.err.rfind("epidemic_batch: " + path + ":" + reason, 0)) << r.err;
      EXPECT_EQ(1u, split_lines(r.err).size()) << r.err;
      EXPECT_FALSE(exists(out) || exists(saved) || exists(kDir + "/ens")) << path;
    }
  }
}

} // namespace
