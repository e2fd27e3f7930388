#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "tests/tools/batch_process.h"

TEST(BatchRunner, SameSeedSameBytesADayPerRowAndSchedulesMatter) {
  const std::string csv1 = scratch("run1.csv"), csv2 = scratch("run2.csv");
  const std::string args = "--population 2000 --arena-size 120 --csv ";
  const Result a = batch("--seed 7 " + args + csv1), b = batch("--seed 7 " + args + csv2);
  ASSERT_EQ(a.status, 0) << a.err;
  EXPECT_EQ(a.out + slurp(csv1), b.out + slurp(csv2));
  int days = -1;
  char tail[32] = "";
  EXPECT_EQ(std::sscanf(a.out.c_str(),
                        "%*d: DAY: %*d INFECTED: %*d EVER SICKENED: %*d NEW CASES: %*d DEAD: %*d "
                        "DAYS: %d AREA: %31[^@]",
                        &days, tail),
            2)
      << a.out;
  EXPECT_STREQ(tail, "7.200000\n") << "one line";
  const std::vector<std::string> rows = split_lines(slurp(csv1));
  ASSERT_EQ(rows.size(), days + 1u) << "a row for every day boundary, after the header";
  EXPECT_EQ(rows[0] + rows[1],
            "day,infected,new_cases,newly_quarantined,immune,dead_today1,10,0,0,10,0");
  const std::string common = "--seed 5 --population 3000 --arena-size 150 --max-days 20";
  EXPECT_NE(batch(common).out,
            batch(common + " --inactivity-schedule=0:20,-1:0,2:80 --quarantine-schedule 0:40").out);
}

TEST(BatchRunner, MaxDaysEndsAsStopDoes) {
  const std::string csv = scratch("max.csv");
  const Result r = batch("--seed 11 --population 20000 --max-days 5 --csv " + csv);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find(" DAYS: 6 AREA: 8.000000\n"), std::string::npos) << r.out;
  const std::vector<std::string> rows = split_lines(slurp(csv));
  ASSERT_EQ(rows.size(), 7u);
  EXPECT_EQ(rows[6].rfind("6,", 0), 0u) << "the exceeding day's sample is the last row";
}

TEST(BatchRunner, RefusesBadOptionsWithOneLine) {
  for (const char* args :
       {"--arena-size 5000", "--population abc", "--population 350001", "--quarantine-rate nan",
        "--death-rate 12.5", "--hard-edge 2", "--seed -1", "--csv",
        "--inactivity-schedule 0:20,0:30", "--quarantine-schedule -5:1",
        "--quarantine-schedule 0:1,1:2,2:3,3:4,4:5,5:6,6:7,7:8,8:9,9:10,10:11",
        "--quarantine-schedule 0:inf"}) {
    const Result r = batch(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_EQ(split_lines(r.err).size(), 1u) << args << ": " << r.err;
    EXPECT_TRUE(r.out.empty()) << args;
  }
  EXPECT_NE(
      batch("--arena-size 5000").err.find("--arena-size must be a whole number from 100 to 1080"),
      std::string::npos);
  const Result control = batch("\"$(printf -- '--fo\\no\\033')\" 1");
  EXPECT_EQ(control.status, 2);
  EXPECT_EQ(control.err, "epidemic_batch: unknown option --fo\\no\\x1b (see --help)\n");
  const Result r = batch("--seed 1 --population 100 --csv /nonexistent-dir/x.csv");
  EXPECT_EQ(r.status, 1) << "an unwritable CSV fails before anything runs";
  EXPECT_TRUE(r.out.empty());
}

TEST(BatchRunner, LostStandardOutputIsAFailure) {
  for (const char* args : {"--seed 1 --population 300 --arena-size 100", "--help", "--version"})
    for (const char* to : {">/dev/full", ">&-"}) {
      const Result r = batch(args, to);
      EXPECT_EQ(r.status, 1) << args << " " << to;
      EXPECT_EQ(r.err.rfind("epidemic_batch: cannot write standard output: ", 0), 0u) << r.err;
      EXPECT_EQ(split_lines(r.err).size(), 1u) << r.err;
    }
}

// A file-size limit stands in for a full disk; the write then fails with EFBIG instead of the
// signal killing the runner.
TEST(BatchRunner, FailedCsvWriteLeavesNoFile) {
  const std::string dir = scratch("limited");
  std::filesystem::remove_all(dir);
  std::filesystem::create_directory(dir);
  const Result r = sh("trap '' XFSZ; ulimit -f 4; exec " BATCH_BINARY
                      " --seed 3 --population 20000 --arena-size 300 --csv " +
                      dir + "/x.csv");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "epidemic_batch: cannot write " + dir + "/x.csv: " + std::strerror(EFBIG) + "\n");
  EXPECT_TRUE(std::filesystem::is_empty(dir)) << "neither the file nor its temporary remains";
}

// The last tick's deaths come after its sample: no CSV row holds them, the report does.
TEST(BatchRunner, ReportFileCountsDeathsAfterTheLastSample) {
  const std::string csv = scratch("dead.csv"), report = scratch("dead.txt");
  const Result r = batch("--seed 2 --population 2000 --arena-size 100 --death-rate 30 "
                         "--infection-length 5 --ambulatory-days 2 --max-days 12 --csv " +
                         csv + " --report " + report);
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string text = slurp(report);
  ASSERT_EQ(text.rfind(r.out, 0), 0u) << "the report line, as stdout has it, comes first";
  int total = -1, sampled = 0;
  ASSERT_EQ(std::sscanf(text.c_str() + r.out.size(), "TOTAL DEAD: %d\n", &total), 1) << text;
  const std::vector<std::string> rows = split_lines(slurp(csv));
  for (size_t i = 1; i < rows.size(); ++i)
    sampled += std::atoi(rows[i].substr(rows[i].rfind(',') + 1).c_str());
  EXPECT_GT(total, sampled);
}
