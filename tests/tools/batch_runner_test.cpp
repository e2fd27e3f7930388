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
  std::string out;
  std::string err;
};

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::string scratch(const std::string& name) {
  return std::string(TEST_BINARY_DIR) + "/" + name;
}

Result batch(const std::string& args) {
  const std::string out = scratch("batch.out"), err = scratch("batch.err");
  const std::string cmd = std::string(BATCH_BINARY) + " " + args + " >" + out + " 2>" + err;
  const int raw = std::system(cmd.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(out), slurp(err)};
}

int lines(const std::string& s) {
  int n = 0;
  for (char c : s)
    n += c == '\n';
  return n;
}

} // namespace

TEST(BatchRunner, SameSeedSameBytes) {
  const std::string csv1 = scratch("run1.csv"), csv2 = scratch("run2.csv");
  const Result a = batch("--seed 7 --population 2000 --arena-size 120 --csv " + csv1);
  const Result b = batch("--seed 7 --population 2000 --arena-size 120 --csv " + csv2);
  ASSERT_EQ(a.status, 0) << a.err;
  EXPECT_EQ(a.out, b.out);
  EXPECT_EQ(slurp(csv1), slurp(csv2));
  EXPECT_EQ(lines(a.out), 1);
  int fields[7];
  char tail[32] = "";
  EXPECT_EQ(std::sscanf(a.out.c_str(),
                        "%d: DAY: %d INFECTED: %d EVER SICKENED: %d NEW CASES: %d DEAD: %d "
                        "DAYS: %d AREA: %31s",
                        &fields[0], &fields[1], &fields[2], &fields[3], &fields[4], &fields[5],
                        &fields[6], tail),
            8)
      << a.out;
  EXPECT_EQ(fields[0], 2000);
  EXPECT_STREQ(tail, "7.200000");

  const std::string csv = slurp(csv1);
  EXPECT_EQ(
      csv.rfind("day,infected,new_cases,newly_quarantined,immune,dead_today\n1,10,0,0,10,0\n", 0),
      0u)
      << "the first sample is day 1 with the ten seeded cases";
  const Result c = batch("--seed 8 --population 2000 --arena-size 120");
  EXPECT_NE(a.out, c.out);
}

TEST(BatchRunner, CsvHasOneRowPerDayUpToTheLast) {
  const std::string csv = scratch("days.csv");
  const Result r = batch("--seed 3 --population 3000 --arena-size 150 --csv " + csv);
  ASSERT_EQ(r.status, 0);
  const size_t at = r.out.find("DAYS: ");
  ASSERT_NE(at, std::string::npos) << r.out;
  const int days = std::atoi(r.out.c_str() + at + 6);
  const std::string text = slurp(csv);
  EXPECT_EQ(lines(text), days + 1) << "a sample at every day boundary, plus the header";
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
  const char* bad[] = {"--arena-size 5000",
                       "--arena-size 99",
                       "--population abc",
                       "--population 350001",
                       "--quarantine-rate 101",
                       "--quarantine-rate nan",
                       "--death-rate 12.5",
                       "--hard-edge 2",
                       "--bogus 1",
                       "--seed -1",
                       "--csv",
                       "--inactivity-schedule 0:20,0:30",
                       "--inactivity-schedule x",
                       "--quarantine-schedule -5:1",
                       "--quarantine-schedule 0:1,1:2,2:3,3:4,4:5,5:6,6:7,7:8,8:9,9:10,10:11",
                       "--quarantine-schedule 0:inf"};
  for (const char* args : bad) {
    const Result r = batch(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_EQ(lines(r.err), 1) << args << ": " << r.err;
    EXPECT_TRUE(r.out.empty()) << args;
  }
  const Result r = batch("--arena-size 5000");
  EXPECT_NE(r.err.find("--arena-size"), std::string::npos);
  EXPECT_NE(r.err.find("100 to 1080"), std::string::npos);
}

TEST(BatchRunner, SchedulesAndHelp) {
  // Days may pass a gap; the inactivity ramp draws its movers, so the run differs.
  const Result plain = batch("--seed 5 --population 3000 --arena-size 150 --max-days 20");
  const Result scheduled = batch("--seed 5 --population 3000 --arena-size 150 --max-days 20 "
                                 "--inactivity-schedule 0:20,-3:5,-1:0,2:80");
  ASSERT_EQ(scheduled.status, 2) << "a negative day other than -1 is out of order";
  const Result ok = batch("--seed 5 --population 3000 --arena-size 150 --max-days 20 "
                          "--inactivity-schedule=0:20,-1:0,2:80 --quarantine-schedule 0:40");
  ASSERT_EQ(ok.status, 0) << ok.err;
  EXPECT_NE(plain.out, ok.out);
  const Result help = batch("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--inactivity-schedule"), std::string::npos);
}

TEST(BatchRunner, UnwritableCsvFailsBeforeRunning) {
  const Result r = batch("--seed 1 --population 100 --csv /nonexistent-dir/x.csv");
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.out.empty());
  EXPECT_NE(r.err.find("/nonexistent-dir/x.csv"), std::string::npos);
}
