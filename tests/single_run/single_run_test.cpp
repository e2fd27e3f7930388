// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "tests/support/batch_process.h"

namespace {
std::size_t nth_comma(const std::string& row, int n) {
  std::size_t at = row.find(',');
  while (n-- > 1 && at != std::string::npos)
    at = row.find(',', at + 1);
  return at;
}
} // namespace

// The last tick's deaths come after its sample: only the report holds them.
TEST(BatchRunner, SameSeedSameBytesADayPerRowReportFileDashesMaxDaysAndSchedulesMatter) {
  const std::string csv1 = TEST_BINARY_DIR "/run1.csv", csv2 = TEST_BINARY_DIR "/run2.csv",
                    report = TEST_BINARY_DIR "/run1.txt";
  const std::string run = "--seed 2 --population 2000 --arena-size 100 --death-rate 30 "
                          "--infection-length 5 --ambulatory-days 2 ";
  const Result a = batch(run + "--csv " + csv1 + " --report " + report);
  const Result b = batch(run + "--runs 1 --jobs 3 --csv " + csv2);
  ASSERT_EQ(a.status, 0) << a.err;
  EXPECT_EQ(a.out + slurp(csv1), b.out + slurp(csv2)) << "one run without --out is a plain run";
  EXPECT_EQ(a.out, "2000: DAY: 3 INFECTED: 19 EVER SICKENED: 19 NEW CASES: 1 DEAD: 0 DAYS: 12 "
                   "AREA: 5.000000\n");
  const std::vector<std::string> rows = split_lines(slurp(csv1));
  ASSERT_EQ(rows.size(), 13u) << "a row for every day boundary, after the header";
  // Day 1: 10 infected at the start and one since are ill (day 2 of illness, bedridden), and
  // the sampling tick infected one more (day 1, still moving about).
  EXPECT_EQ(rows[0] + "|" + rows[1],
            "day,infected,new_cases,newly_quarantined,immune,dead_today,newly_vaccinated,"
            "newly_infected,cumulative_infections,susceptible,ambulatory,bedridden,quarantined,"
            "recovered,vaccinated,dead|1,11,0,0,11,0,0,2,12,1988,1,11,0,0,0,0");
  EXPECT_EQ(slurp(report), a.out + "TOTAL DEAD: 6\nCUMULATIVE INFECTIONS: 23\nEVER INFECTED: "
                                   "23\nVACCINATIONS: 0\n")
      << "the report line as stdout has it, first";
  int sampled = 0;
  for (size_t i = 1; i < rows.size(); ++i)
    sampled += std::atoi(rows[i].substr(nth_comma(rows[i], 5) + 1).c_str());
  EXPECT_LT(sampled, 6) << "dead_today";
  EXPECT_EQ(std::pair(batch("-h").out, batch("--setup /nonexistent.toml --runs 0 -h").status),
            std::pair(batch("--help").out, 0))
      << "help needs nothing else to be right";
  EXPECT_EQ(std::pair(batch(run + "--quiet=1 --plan=0 --csv - --report -").out,
                      batch(run + "--csv=-").out),
            std::pair(slurp(csv1) + slurp(report), slurp(csv1) + a.out))
      << "the report line once, then the dead; or the rows, then the report line";

  const std::string common = "--seed 5 --population 3000 --arena-size 150 --max-days 20 ";
  const Result capped = batch(common + "--csv " + csv1);
  EXPECT_NE(capped.out.find(" DAYS: 21 AREA: "), std::string::npos) << capped.out;
  const std::vector<std::string> capped_rows = split_lines(slurp(csv1));
  EXPECT_EQ(std::tuple(capped_rows.size(), capped_rows.back().substr(0, 3)),
            std::tuple(22u, "21,"));
  EXPECT_NE(capped.out,
            batch(common + "--inactivity-schedule=0:20,-1:0,2:80 --quarantine-schedule 0:40").out);
}

// At 0, the digest of the rows and report as before vaccination, a last column of zeros.
TEST(BatchRunner, VaccinationAtZeroChangesNothingAndAtHundredEndsTheSpread) {
  const std::string run =
      BATCH_BINARY " --seed 3 --population 5000 --arena-size 150 --lockdown 0 "
                   "--drivers 30 --destinations 50 --quarantine-rate 3.5 "
                   "--death-rate 5 --immunity-duration 20 --quarantine-schedule "
                   "0:0.5,10:10 --inactivity-schedule 0:20,30:5 --max-days 300 "
                   "--csv -";
  EXPECT_EQ(sh(run + " --vaccination 0 | cut -d, -f1-6 | md5sum").out,
            "8ee2185ddcb48340b2c32f73f8322e90  -\n");
  EXPECT_EQ(sh(run + " | cut -s -d, -f7 | sort -u").out, "0\nnewly_vaccinated\n");
  const std::string hundred = BATCH_BINARY " --seed 4 --population 20000 --arena-size 200 "
                                           "--vaccination 100 --immunity-duration 2000 --csv -";
  EXPECT_EQ(sh(hundred + " | sed -n 2p").out, "1,12,0,0,12,0,19987,2,12,1,12,0,0,0,19987,0\n")
      << "12 ill, all others but one vaccinated";
  EXPECT_EQ(sh(hundred + " | awk -F, 'NR > 2 && NF == 16 { n += $3 } END { print n + 0 }'").out,
            "0\n")
      << "the new cases of all later days";
}

// Each refusal of an option is the option test's; here, as the process tells one: status 2.
TEST(BatchRunner, BadOptionsLostOutputAndFailedWritesFailWithOneLine) {
  const auto fails = [](const std::string& args, int status, const std::string& says) {
    const Result r = batch(args);
    EXPECT_EQ(std::tuple(r.status, r.out, r.err.rfind("epidemic_batch: ", 0),
                         r.err.find(says) != std::string::npos, split_lines(r.err).size()),
              std::tuple(status, "", 0u, true, 1u))
        << args << ": " << r.err;
  };
  fails("--arena-size 5000", 2, "--arena-size must be a whole number from 100 to 1080");
  fails("\"$(printf -- '--fo\\no\\033')\" 1", 2, "unknown option --fo\\no\\x1b (see --help)");
  for (const char* args : {"--seed 1 --population 300 --arena-size 100", "--help", "--version"})
    for (const char* to : {" >/dev/full", " >&-"})
      fails(args + std::string(to), 1, "cannot write standard output: ");
  fails("--seed 1 --population 100 --csv /nonexistent-dir/x.csv", 1,
        "cannot write /nonexistent-dir/x.csv: No such file or directory");
  // A file-size limit stands in for a full disk: the write fails with EFBIG, leaving no file.
  const std::string dir = fresh("limited", true);
  const Result r = sh("trap '' XFSZ; ulimit -f 4; exec " BATCH_BINARY
                      " --seed 3 --population 20000 --arena-size 300 --csv " +
                      dir + "/x.csv");
  EXPECT_EQ(std::tuple(r.status, r.err, std::filesystem::is_empty(dir)),
            std::tuple(
                1, "epidemic_batch: cannot write " + dir + "/x.csv: " + std::strerror(EFBIG) + "\n",
                true));
}
