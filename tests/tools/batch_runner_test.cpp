#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct Result {
  int status;
  std::string out, err;
};

std::string slurp(const std::string& path) {
  std::stringstream ss;
  ss << std::ifstream(path, std::ios::binary).rdbuf();
  return ss.str();
}

std::string scratch(const std::string& name) {
  return std::string(TEST_BINARY_DIR) + "/" + name;
}

Result batch(const std::string& args) {
  const std::string out = scratch("batch.out"), err = scratch("batch.err");
  const int raw =
      std::system((std::string(BATCH_BINARY) + " " + args + " >" + out + " 2>" + err).c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(out), slurp(err)};
}

int lines(const std::string& s) {
  int n = 0;
  for (char c : s)
    n += c == '\n';
  return n;
}

} // namespace

TEST(BatchRunner, SameSeedSameBytesAndADayPerRow) {
  const std::string csv1 = scratch("run1.csv"), csv2 = scratch("run2.csv");
  const Result a = batch("--seed 7 --population 2000 --arena-size 120 --csv " + csv1);
  const Result b = batch("--seed 7 --population 2000 --arena-size 120 --csv " + csv2);
  ASSERT_EQ(a.status, 0) << a.err;
  EXPECT_EQ(a.out, b.out);
  EXPECT_EQ(slurp(csv1), slurp(csv2));
  int f[7];
  char area[32] = "";
  ASSERT_EQ(std::sscanf(a.out.c_str(),
                        "%d: DAY: %d INFECTED: %d EVER SICKENED: %d NEW CASES: %d DEAD: %d "
                        "DAYS: %d AREA: %31s",
                        &f[0], &f[1], &f[2], &f[3], &f[4], &f[5], &f[6], area),
            8)
      << a.out;
  EXPECT_EQ(lines(a.out), 1);
  EXPECT_STREQ(area, "7.200000");
  const std::string csv = slurp(csv1);
  EXPECT_EQ(
      csv.rfind("day,infected,new_cases,newly_quarantined,immune,dead_today\n1,10,0,0,10,0\n", 0),
      0u);
  EXPECT_EQ(lines(csv), f[6] + 1) << "a row for every day boundary, after the header";
  EXPECT_NE(batch("--seed 8 --population 2000 --arena-size 120").out, a.out);
}

TEST(BatchRunner, MaxDaysEndsAsStopDoes) {
  const std::string csv = scratch("max.csv");
  const Result r = batch("--seed 11 --population 20000 --max-days 5 --csv " + csv);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(lines(r.out), 1);
  EXPECT_NE(r.out.find(" DAYS: 6 AREA: 8.000000"), std::string::npos) << r.out;
  const std::string text = slurp(csv);
  EXPECT_EQ(lines(text), 7);
  EXPECT_NE(text.find("\n6,"), std::string::npos) << "the exceeding day's sample is the last row";
}

TEST(BatchRunner, RefusesBadOptionsWithOneLine) {
  for (const char* args :
       {"--arena-size 5000", "--population abc", "--population 350001", "--quarantine-rate nan",
        "--death-rate 12.5", "--hard-edge 2", "--bogus 1", "--seed -1", "--csv",
        "--inactivity-schedule 0:20,0:30", "--quarantine-schedule -5:1",
        "--quarantine-schedule 0:1,1:2,2:3,3:4,4:5,5:6,6:7,7:8,8:9,9:10,10:11",
        "--quarantine-schedule 0:inf"}) {
    const Result r = batch(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_EQ(lines(r.err), 1) << args << ": " << r.err;
    EXPECT_TRUE(r.out.empty()) << args;
  }
  EXPECT_NE(
      batch("--arena-size 5000").err.find("--arena-size must be a whole number from 100 to 1080"),
      std::string::npos);
  const Result r = batch("--seed 1 --population 100 --csv /nonexistent-dir/x.csv");
  EXPECT_EQ(r.status, 1) << "an unwritable CSV fails before anything runs";
  EXPECT_TRUE(r.out.empty());
}

TEST(BatchRunner, SchedulesChangeTheRun) {
  const std::string common = "--seed 5 --population 3000 --arena-size 150 --max-days 20";
  const Result plain = batch(common);
  const Result scheduled =
      batch(common + " --inactivity-schedule=0:20,-1:0,2:80 --quarantine-schedule 0:40");
  ASSERT_EQ(scheduled.status, 0) << scheduled.err;
  EXPECT_NE(plain.out, scheduled.out);
}
