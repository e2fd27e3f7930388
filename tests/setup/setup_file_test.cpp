// SPDX-License-Identifier: MIT
// Setup files: read back here and by Python's tomllib, run as their options, refused whole.
#include "setup/setup_file.h"

#include <gtest/gtest.h>

#include "tests/support/batch_process.h"

const std::string kDir = TEST_BINARY_DIR "/setup_test";
const char* const kRun = " --max-days 12 --population 600 --arena-size 100";

static std::string put(const std::string& name, const std::string& text) {
  const std::string path = kDir + "/" + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

class SetupFile : public ::testing::Test {
protected:
  void SetUp() override { fresh("setup_test", true); }
};

// Every row away from its first value, both schedules in use, a seed.
static Setup unusual_setup() {
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
  std::tie(s.schedules.quarantine_policy_on, s.has_seed, s.seed) = std::tuple(1, true, ~0u);
  return s;
}

// Every value a Setup holds, run parameters by the table, so that a writer leaving one out fails.
static auto values(const ::Setup& s) {
  std::vector<double> params;
  for (const ParamRow& row : param_rows())
    if (row.role == ParamRole::RunParameter)
      params.push_back(param_value(row, s.params));
  return std::tuple(params, s.display, schedule_text(s.schedules.lazy_policy),
                    schedule_text(s.schedules.quarantine_policy), s.schedules.lazy_policy_on,
                    s.schedules.quarantine_policy_on, s.has_seed, s.seed, setup_text(s));
}

// Every value written reads back equal; a bare format line reads as the table's first values.
// Reals are the shortest text that reads back, with a point or exponent so TOML reads a real.
TEST_F(SetupFile, ValuesReadBackEqualAndMissingKeysTakeFirstValues) {
  const ::Setup written = unusual_setup();
  ::Setup read, missing = written;
  std::string error;
  ASSERT_TRUE(parse_setup(setup_text(written), "x.toml", &read, &error)) << error;
  EXPECT_EQ(values(read), values(written));
  EXPECT_EQ(schedule_text(read.schedules.quarantine_policy), "0:1.5,-1:0,4:2");
  ASSERT_TRUE(parse_setup("format = 1 # nothing else\n", "x.toml", &missing, &error)) << error;
  EXPECT_EQ(values(missing), values(initial_setup()));
  for (const double v : {0.5, 20.0, 0.1 + 0.2, 100.0 / 3.0, 1e-7, 1e300, -2.5})
    EXPECT_EQ(std::strtod(real_text(v).c_str(), nullptr), v) << real_text(v);
  EXPECT_EQ(std::tuple(real_text(20.0), real_text(0.1 + 0.2), real_text(1e-7)),
            std::tuple("20.0", "0.30000000000000004", "1e-07"));
}

// An option given on the command line, before or after --setup, wins over the file's.
TEST_F(SetupFile, FileRunsAsItsOptionsTheCommandLineWinsAndTomllibReadsIt) {
  const std::string options = std::string(kRun) +
                              " --population 700 --infection-rate 40 --hard-edge 0 "
                              "--quarantine-rate 0.30000000000000004 --quarantine-schedule "
                              "0:1.5,10:20 --vaccination 0.25 --vaccination-schedule 3:0.5,5:2",
                    file = kDir + "/a.toml", csv = " --max-days 12 --seed 5 --csv -";
  ASSERT_EQ(0, batch(options + " --seed 9 --save-setup " + file).status);
  const Result py = sh("python3 -c '"
                       R"(import sys, tomllib
d = tomllib.load(open(sys.argv[1], "rb")); r = d["run"]
print(d["format"] == 1 and r["population"] == 700 and r["quarantine-rate"] == 0.1 + 0.2 and
      r["hard-edge"] is False and r["lockdown"] is True and r["seed"] == 9 and
      type(r["speed"] if "speed" in r else 0.5) is float and type(r["arena-size"]) is int and
      r["quarantine-schedule"] == "0:1.5,10:20" and "inactivity-schedule" not in r and
      r["vaccination"] == 0.25 and r["vaccination-schedule"] == "3:0.5,5:2" and
      d["display"]["speed"] == 0.01 and len(r) == 19 and len(d["display"]) == 7))"
                       "' " +
                       file);
  EXPECT_EQ("True\n", py.out) << py.err;
  const auto out = [&](const std::string& args) { return batch(args + csv).out; };
  const std::string direct = out(options), changed = out(options + " --infection-rate 60");
  EXPECT_NE(direct, changed);
  EXPECT_EQ(std::vector({out("--setup " + file), out("--infection-rate 60 --setup " + file),
                         out("--setup " + file + " --infection-rate 60")}),
            std::vector({direct, changed, changed}));
}

// Each bad file, a missing one, a FIFO and a folder: one line "epidemic_batch: FILE:<reason>", an
// unknown key quoted by its first 80 characters and an ellipsis.
TEST_F(SetupFile, BadFilesExitTwoWithOneLineAndWriteNothing) {
  const std::vector<std::pair<std::string, std::string>> bad = {
      {"format = 1\n[run\n", "2: Error while parsing"},
      {"format = 1\n[run]\ninfection-rte = 3\n",
       "3: unknown key 'infection-rte' in [run], did you mean 'infection-rate'?"},
      {"format = 1\n[display]\nspeeed = 1.0\n",
       "3: unknown key 'speeed' in [display], did you mean 'speed'?"},
      {"format = 1\n\n[run]\nhard-edge = 1\n",
       "4: hard-edge must be true or false, not an integer"},
      {"format = 1\n[run]\npopulation = 3.0\n",
       "3: population must be an integer, not a real number"},
      {"format = 1\n[run]\ninfection-length = 0\n",
       "3: --infection-length must be a whole number from 1 to 90"},
      {"format = 1\n[run]\nquarantine-rate = 100.5\n",
       "3: --quarantine-rate must be a number from 0 to 100"},
      {"format = 1\n[run]\nseed = -1\n", "3: --seed must be a whole number from 0 to 4294967295"},
      {"format = 1\n[run]\nquarantine-schedule = \"0:1,20:2,10:3\"\n",
       "3: --quarantine-schedule must be 1 to 10 setpoints"},
      {"[run]\npopulation = 5\n", "1: format = 1 is missing"},
      {"format = 2\n", "1: format must be 1"},
      {std::string("format = 1\n[run]\0\n", 18), "2: not a text file (a NUL byte)"},
      {"format = 1\n# caf\xe9\n", "2: Encountered invalid utf-8"},
      {"format = 1\n" + std::string(70000, '#') + "\n", " larger than 64 KiB"},
      // A NUL escape is part of the string: "0:5" alone would be a good schedule.
      {"format = 1\n[run]\ninactivity-schedule = \"0:5\\u0000garbage\"\n",
       "3: --inactivity-schedule must be 1 to 10 setpoints"},
      {"format = 1\n[run]\n" + std::string(60000, 'k') + " = 1\n",
       "3: unknown key '" + std::string(80, 'k') +
           "\xe2\x80\xa6' in [run], did you mean 'lockdown'?"},
  };
  std::vector<std::pair<std::string, std::string>> cases;
  for (const auto& [text, reason] : bad)
    cases.emplace_back(put(std::to_string(cases.size()) + ".toml", text), reason);
  cases.emplace_back(kDir + "/missing.toml", " cannot read: No such file or directory");
  ASSERT_EQ(0, sh("mkfifo " + kDir + "/fifo.toml").status);
  cases.emplace_back(kDir + "/fifo.toml", " not a regular file");
  cases.emplace_back(kDir, " not a regular file");
  const std::set<std::string> before = names_in(kDir);
  for (const auto& [path, reason] : cases) {
    for (const std::string& tail :
         {" --csv " + kDir + "/o.csv", " --save-setup " + kDir + "/s.toml",
          " --runs 2 --out " + kDir + "/e"}) {
      const Result r = batch(std::string(kRun) + " --setup " + path + tail);
      EXPECT_EQ(std::tuple(r.status, r.err.rfind("epidemic_batch: " + path + ":" + reason, 0),
                           split_lines(r.err).size(), names_in(kDir) != before),
                std::tuple(2, 0u, 1u, false))
          << path << tail << ": " << r.err;
    }
  }
}

// A key holding a newline, ESC, BEL and C1, a raw C1 code that toml++ quotes, a path that is not
// UTF-8: both programs print the same one line, every control written as an escape.
TEST_F(SetupFile, BothProgramsPrintWhatAFaultQuotesEscaped) {
  const std::string key =
      put("k\xff.toml", "format = 1\n[run]\n\"a\\nb\\u001b[2J\\u0007\\u0085\" = 1\n");
  const std::string raw = put("r.toml", "format = 1\n[run]\npopulation = 1\xc2\x85\n");
  for (const auto& [path, told] :
       {std::pair(key, "/k\\xff.toml:3: unknown key 'a\\nb\\x1b[2J\\x07\\u0085' in [run], did "
                       "you mean 'arena-size'?"),
        std::pair(raw, "/r.toml:3: Error while parsing key-value pair: expected a comment or "
                       "whitespace, saw '\\u0085'")}) {
    const Result sim = sh("env -u DISPLAY " SIM_BINARY " '" + path + "'"),
                 run = batch("--setup '" + path + "'");
    EXPECT_EQ(std::tuple(sim.status, sim.err, run.status, run.err),
              std::tuple(2, "epidemic_sim: " + kDir + told + "\n", 2,
                         "epidemic_batch: " + kDir + told + "\n"));
  }
}
