#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

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

// Runs the batch runner through the shell; `redirect` replaces the capture of stdout.
Result batch(const std::string& args, const std::string& redirect = "") {
  const std::string out = scratch("batch.out"), err = scratch("batch.err");
  std::remove(out.c_str());
  const std::string to = redirect.empty() ? " >" + out : " " + redirect;
  const int raw = std::system((std::string(BATCH_BINARY) + " " + args + to + " 2>" + err).c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(out), slurp(err)};
}

// Runs the batch runner in a child whose files may not grow beyond `limit` bytes, as on a full
// disk; the write then fails with EFBIG instead of killing the child.
int batch_with_file_limit(const std::vector<std::string>& args, rlim_t limit) {
  const pid_t pid = fork();
  if (pid == 0) {
    const rlimit r{limit, limit};
    setrlimit(RLIMIT_FSIZE, &r);
    std::signal(SIGXFSZ, SIG_IGN);
    std::freopen(scratch("limit.err").c_str(), "w", stderr);
    std::freopen("/dev/null", "w", stdout);
    std::vector<char*> argv{const_cast<char*>(BATCH_BINARY)};
    for (const std::string& a : args)
      argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(BATCH_BINARY, argv.data());
    _exit(127);
  }
  int raw = 0;
  waitpid(pid, &raw, 0);
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
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

TEST(BatchRunner, LostStandardOutputIsAFailure) {
  for (const char* args : {"--seed 1 --population 300 --arena-size 100", "--help", "--version"})
    for (const char* redirect : {">/dev/full", ">&-"}) {
      const Result r = batch(args, redirect);
      EXPECT_EQ(r.status, 1) << args << " " << redirect;
      EXPECT_EQ(lines(r.err), 1) << r.err;
      EXPECT_NE(r.err.find("cannot write standard output: "), std::string::npos) << r.err;
    }
  const Result v = batch("--version");
  char name[32] = "";
  int major = -1, minor = -1;
  EXPECT_EQ(std::sscanf(v.out.c_str(), "%31s %d.%d", name, &major, &minor), 3) << v.out;
  EXPECT_STREQ(name, "epidemic_batch");
}

TEST(BatchRunner, FailedCsvWriteLeavesNoFile) {
  const std::string dir = scratch("limited");
  std::system(("rm -rf " + dir + " && mkdir " + dir).c_str());
  const int status = batch_with_file_limit(
      {"--seed", "3", "--population", "20000", "--arena-size", "300", "--csv", dir + "/x.csv"},
      2048);
  EXPECT_EQ(status, 1);
  const std::string err = slurp(scratch("limit.err"));
  EXPECT_EQ(err, "epidemic_batch: cannot write " + dir + "/x.csv: " + std::strerror(EFBIG) + "\n");
  EXPECT_EQ(std::system(("test -z \"$(ls -A " + dir + ")\"").c_str()), 0)
      << "neither the file nor its temporary remains";
}

TEST(BatchRunner, ControlCharactersInAnOptionStayOnOneLine) {
  const Result r = batch("\"$(printf -- '--fo\\no\\033')\" 1");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "epidemic_batch: unknown option --fo\\no\\x1b (see --help)\n");
}

TEST(BatchRunner, ReportFileCountsDeathsAfterTheLastSample) {
  const std::string csv = scratch("dead.csv"), report = scratch("dead.txt");
  // The last tick's deaths come after its sample: no CSV row holds them.
  const Result r = batch("--seed 2 --population 2000 --arena-size 100 --death-rate 30 "
                         "--infection-length 5 --ambulatory-days 2 --max-days 12 --csv " +
                         csv + " --report " + report);
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string text = slurp(report);
  ASSERT_EQ(text.rfind(r.out, 0), 0u) << "the report line, as stdout has it, comes first";
  int total = -1;
  ASSERT_EQ(std::sscanf(text.c_str() + r.out.size(), "TOTAL DEAD: %d\n", &total), 1) << text;
  std::istringstream rows(slurp(csv));
  std::string line;
  int sampled = 0;
  std::getline(rows, line);
  while (std::getline(rows, line))
    sampled += std::atoi(line.substr(line.rfind(',') + 1).c_str());
  EXPECT_GT(total, sampled);
}
