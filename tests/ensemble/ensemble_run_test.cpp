// Ensembles run for real: worker processes, the merge, --plan through GNU parallel, and faults.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <iterator>
#include <map>
#include <thread>

#include "ensemble/plan.h"
#include "tests/tools/batch_process.h"

namespace fs = std::filesystem;

namespace {

// A fresh scratch path, not created.
std::string fresh(const std::string& name) {
  fs::remove_all(scratch(name));
  return scratch(name);
}

// Every file an ensemble leaves in DIR but the manifest and the plot's own files.
std::map<std::string, std::string> outputs(const std::string& dir) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(dir)) {
    const std::string rel = fs::relative(e.path(), dir).string();
    if (e.is_regular_file() && rel != "manifest.txt" && rel.rfind("bands.", 0) != 0)
      files[rel] = slurp(e.path());
  }
  return files;
}

// Starts an ensemble and polls until it has `count` workers at once.
std::vector<pid_t> start(const std::string& args, size_t count, pid_t* parent) {
  if ((*parent = fork()) == 0) {
    const std::string line = "exec " BATCH_BINARY " " + args + " 2>" + scratch("spawn.err");
    execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  const std::string id = std::to_string(*parent);
  std::vector<pid_t> kids;
  while (kids.size() < count && std::chrono::steady_clock::now() < give_up) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    std::istringstream in(slurp("/proc/" + id + "/task/" + id + "/children"));
    kids = {std::istream_iterator<pid_t>(in), std::istream_iterator<pid_t>()};
  }
  return kids;
}

int exit_status(pid_t pid) {
  int raw = 0;
  waitpid(pid, &raw, 0);
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

const std::string kSweep = "--seed 11 --population 3000 --arena-size 150 --max-days 40 --runs 5 "
                           "--vary infection-rate=10,20";
const std::string kTiny = "--population 300 --arena-size 100 --max-days 3 ";
const std::string kLong = "--population 30000 --arena-size 250 "; // long enough to catch workers

} // namespace

// Direct runs on one or two workers, and the planned commands run by GNU parallel then merged,
// all leave the same files; each run's rows are what it gives alone.
TEST(EnsembleRun, SameFilesWhateverTheJobsAndEachRunAsAlone) {
  const std::string one = fresh("jobs1"), two = fresh("jobs2"), cwd = fresh("cwd");
  const std::string planned = fresh("planned 'q'; touch pwned $(touch x) `touch y`"),
                    csv = fresh("alone.csv");
  const Result a = batch(kSweep + " --jobs 1 --out " + one);
  const Result b = batch(kSweep + " --jobs 2 --out " + two);
  ASSERT_EQ(a.status, 0) << a.err;
  EXPECT_EQ(a.out, b.out);
  EXPECT_EQ(outputs(one), outputs(two));
  EXPECT_EQ(outputs(one).size(), 23u) << "runs.csv, ends.csv, summary.csv, 2 files per run";

  const Result plan = batch(kSweep + " --plan --out " + shell_quote(planned));
  ASSERT_EQ(split_lines(plan.out).size(), 10u) << plan.err;
  std::ofstream(scratch("commands.txt")) << plan.out;
  fs::create_directory(cwd);
  const Result par = sh("cd " + cwd + " && parallel --will-cite --halt now,fail=1 --jobs 2 < " +
                        scratch("commands.txt"));
  ASSERT_EQ(par.status, 0) << par.err;
  EXPECT_TRUE(fs::is_empty(cwd)) << "a quoted folder name runs nothing";
  const Result merged = batch("--merge " + shell_quote(planned));
  ASSERT_EQ(merged.status, 0) << merged.err;
  EXPECT_EQ(merged.out, a.out);
  EXPECT_EQ(outputs(planned), outputs(one));

  const std::string alone_args = "--seed 13 --infection-rate 20 --population 3000 ";
  const Result alone = batch(alone_args + "--arena-size 150 --max-days 40 --csv " + csv);
  const std::vector<std::string> reports = split_lines(a.out);
  ASSERT_EQ(reports.size(), 10u);
  EXPECT_EQ(reports[7] + "\n", alone.out) << "point 1, run 2 has seed 11 + 2";
  std::string rows = "day,infected,new_cases,newly_quarantined,immune,dead_today\n";
  for (const std::string& line : split_lines(slurp(one + "/runs.csv")))
    if (line.rfind("1,2,13,20,", 0) == 0)
      rows += line.substr(10) + "\n";
  EXPECT_EQ(rows, slurp(csv));
  EXPECT_EQ(split_lines(slurp(one + "/ends.csv"))[0],
            "point,run,seed,infection-rate,days,peak_day,peak_infected,total_dead");
}

TEST(EnsembleRun, MergeNamesEachMissingRunFileAndWritesNothing) {
  const std::string dir = fresh("partial");
  const std::vector<std::string> commands =
      split_lines(batch("--seed 1 " + kTiny + "--runs 3 --plan --out " + dir).out);
  ASSERT_EQ(commands.size(), 3u);
  ASSERT_EQ(sh(commands[1]).status, 0);
  const Result refused = batch("--merge " + dir);
  EXPECT_EQ(std::pair(refused.status, refused.out), std::pair(1, std::string()));
  const std::vector<std::string> named = split_lines(refused.err);
  ASSERT_EQ(named.size(), 4u) << refused.err;
  EXPECT_NE(named[0].find(dir + "/runs/0-0.csv"), std::string::npos) << named[0];
  EXPECT_NE(named[3].find(dir + "/runs/0-2.txt"), std::string::npos) << named[3];
  EXPECT_EQ(outputs(dir).size(), 2u) << "only the one run's files, no temporary";
}

TEST(EnsembleRun, KilledWorkerFailsTheEnsembleNamingItsSeed) {
  const std::string dir = fresh("killed");
  pid_t parent;
  const std::vector<pid_t> workers =
      start(kLong + "--seed 21 --max-days 40 --runs 2 --jobs 1 --quiet --out " + dir, 1, &parent);
  ASSERT_EQ(workers.size(), 1u);
  kill(workers[0], SIGKILL);
  EXPECT_EQ(exit_status(parent), 1);
  const std::string err = slurp(scratch("spawn.err"));
  EXPECT_NE(err.find("run (0, 0) with seed 21 failed: killed by signal 9"), std::string::npos)
      << err;
  EXPECT_TRUE(fs::exists(dir + "/runs/0-1.csv")) << "the other run finishes";
  EXPECT_FALSE(fs::exists(dir + "/runs.csv") || fs::exists(dir + "/summary.csv"));
}

TEST(EnsembleRun, SigtermStopsEveryWorkerAndLeavesNoPartialFile) {
  const std::string dir = fresh("stopped");
  pid_t parent;
  const std::vector<pid_t> workers =
      start(kLong + "--seed 3 --max-days 200 --runs 4 --jobs 2 --out " + dir, 2, &parent);
  ASSERT_EQ(workers.size(), 2u);
  kill(parent, SIGTERM);
  EXPECT_EQ(exit_status(parent), 143);
  for (const pid_t w : workers)
    EXPECT_NE(kill(w, 0), 0) << "worker " << w << " is gone";
  for (const auto& [name, text] : outputs(dir)) // finished runs only
    EXPECT_TRUE(name.rfind("runs/", 0) == 0 && name.find(".tmp.") == std::string::npos) << name;
}

TEST(EnsembleRun, UnusableFolderIsRefusedBeforeAnyRun) {
  const std::string full = fresh("full"), file = fresh("file");
  fs::create_directories(full + "/old");
  std::ofstream(file) << "x";
  for (auto [dir, status] : {std::pair{fresh("no") + "/such", 1}, {file, 1}, {full, 2}}) {
    const Result r = batch(kTiny + "--runs 2 --out " + dir);
    EXPECT_EQ(std::pair(r.status, r.out), std::pair(status, std::string()))
        << dir << "no run started";
    EXPECT_EQ(split_lines(r.err).size(), 1u) << r.err;
  }
  EXPECT_FALSE(fs::exists(full + "/runs"));
  EXPECT_EQ(batch(kTiny + "--runs 2 --force --out " + full).status, 0);
}

TEST(EnsembleRun, AnIgnoredSigchldHandedDownStillYieldsEveryRun) {
  const std::string dir = fresh("ignored");
  const pid_t parent = fork();
  if (parent == 0) {
    std::signal(SIGCHLD, SIG_IGN); // an ignored signal stays ignored through exec
    execl(BATCH_BINARY, BATCH_BINARY, "--seed", "2", "--population", "300", "--arena-size", "100",
          "--max-days", "3", "--runs", "3", "--quiet", "--out", dir.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  EXPECT_EQ(exit_status(parent), 0);
  EXPECT_TRUE(fs::exists(dir + "/summary.csv"));
}
