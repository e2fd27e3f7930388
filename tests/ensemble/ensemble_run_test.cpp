// Ensembles run for real: worker processes, the merge, --plan through GNU parallel, and faults.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ensemble/plan.h"

namespace fs = std::filesystem;

namespace {

struct Result {
  int status;
  std::string out, err;
};

std::string slurp(const fs::path& path) {
  std::stringstream ss;
  ss << std::ifstream(path, std::ios::binary).rdbuf();
  return ss.str();
}

// A fresh, empty scratch path (not created).
std::string scratch(const std::string& name) {
  const fs::path p = fs::path(TEST_BINARY_DIR) / name;
  fs::remove_all(p);
  return p.string();
}

Result sh(const std::string& command) {
  const std::string out = std::string(TEST_BINARY_DIR) + "/run.out";
  const std::string err = std::string(TEST_BINARY_DIR) + "/run.err";
  const int raw = std::system((command + " >" + out + " 2>" + err).c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(out), slurp(err)};
}

Result batch(const std::string& args) {
  return sh(std::string(BATCH_BINARY) + " " + args);
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

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

bool any_temporary(const std::string& dir) {
  for (const auto& e : fs::recursive_directory_iterator(dir))
    if (e.path().filename().string().find(".tmp.") != std::string::npos)
      return true;
  return false;
}

pid_t spawn_batch(const std::string& args) {
  const pid_t pid = fork();
  if (pid == 0) {
    const int err = open((std::string(TEST_BINARY_DIR) + "/spawn.err").c_str(),
                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(err, 2);
    execl("/bin/sh", "sh", "-c", ("exec " + std::string(BATCH_BINARY) + " " + args).c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

std::vector<pid_t> children_of(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/children");
  std::vector<pid_t> kids;
  for (pid_t k; in >> k;)
    kids.push_back(k);
  return kids;
}

// Polls until the ensemble has `count` workers at once; the runs are long enough for that.
std::vector<pid_t> wait_for_workers(pid_t parent, size_t count) {
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  std::vector<pid_t> kids;
  while ((kids = children_of(parent)).size() < count && std::chrono::steady_clock::now() < give_up)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  return kids;
}

int exit_status(pid_t pid) {
  int raw = 0;
  waitpid(pid, &raw, 0);
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

const std::string kSweep = "--seed 11 --population 3000 --arena-size 150 --max-days 40 --runs 5 "
                           "--vary infection-rate=10,20";

} // namespace

TEST(EnsembleRun, SameFilesWhateverTheJobsAndEachRunAsAlone) {
  const std::string one = scratch("jobs1"), two = scratch("jobs2");
  const Result a = batch(kSweep + " --jobs 1 --out " + one);
  const Result b = batch(kSweep + " --jobs 2 --out " + two);
  ASSERT_EQ(a.status, 0) << a.err;
  ASSERT_EQ(b.status, 0) << b.err;
  EXPECT_EQ(a.out, b.out);
  EXPECT_EQ(outputs(one), outputs(two));
  EXPECT_EQ(outputs(one).size(), 23u) << "runs.csv, ends.csv, summary.csv, 2 files per run";
  EXPECT_EQ(slurp(one + "/bands.png").substr(1, 3), "PNG");

  const std::string csv = scratch("alone.csv");
  const Result alone = batch("--seed 13 --infection-rate 20 --population 3000 --arena-size 150 "
                             "--max-days 40 --csv " +
                             csv);
  const std::vector<std::string> reports = split_lines(a.out);
  ASSERT_EQ(reports.size(), 10u);
  EXPECT_EQ(reports[7] + "\n", alone.out) << "point 1, run 2 has seed 11 + 2";
  std::string rows;
  for (const std::string& line : split_lines(slurp(one + "/runs.csv")))
    if (line.rfind("1,2,13,20,", 0) == 0)
      rows += line.substr(10) + "\n";
  EXPECT_EQ("day,infected,new_cases,newly_quarantined,immune,dead_today\n" + rows, slurp(csv));
  const std::vector<std::string> ends = split_lines(slurp(one + "/ends.csv"));
  ASSERT_EQ(ends.size(), 11u);
  EXPECT_EQ(ends[0], "point,run,seed,infection-rate,days,peak_day,peak_infected,total_dead");
  EXPECT_EQ(split_lines(slurp(one + "/summary.csv"))[0],
            "point,infection-rate,day,series,n,mean,p5,p25,median,p75,p95");
}

TEST(EnsembleRun, PlanThroughParallelThenMergeEqualsTheDirectRun) {
  const std::string direct = scratch("direct");
  const Result d = batch(kSweep + " --out " + direct);
  ASSERT_EQ(d.status, 0) << d.err;

  const std::string planned = scratch("planned 'q'; touch pwned");
  const Result plan = batch(kSweep + " --plan --out " + shell_quote(planned));
  ASSERT_EQ(plan.status, 0) << plan.err;
  EXPECT_EQ(split_lines(plan.out).size(), 10u);
  const std::string commands = std::string(TEST_BINARY_DIR) + "/commands.txt";
  std::ofstream(commands) << plan.out;
  const std::string cwd = scratch("cwd");
  fs::create_directory(cwd);
  const Result par =
      sh("cd " + cwd + " && parallel --will-cite --halt now,fail=1 --jobs 2 < " + commands);
  ASSERT_EQ(par.status, 0) << par.err;
  EXPECT_TRUE(fs::is_empty(cwd)) << "a quoted folder name runs nothing";

  const Result merged = batch("--merge " + shell_quote(planned));
  ASSERT_EQ(merged.status, 0) << merged.err;
  EXPECT_EQ(merged.out, d.out);
  EXPECT_EQ(outputs(planned), outputs(direct));
}

TEST(EnsembleRun, MergeNamesEachMissingRunFileAndWritesNothing) {
  const std::string dir = scratch("partial");
  const Result plan =
      batch("--seed 1 --population 300 --arena-size 100 --max-days 5 --runs 3 --plan --out " + dir);
  const std::vector<std::string> commands = split_lines(plan.out);
  ASSERT_EQ(commands.size(), 3u) << plan.err;
  ASSERT_EQ(sh(commands[1]).status, 0);
  const Result refused = batch("--merge " + dir);
  EXPECT_EQ(refused.status, 1);
  EXPECT_TRUE(refused.out.empty());
  const std::vector<std::string> named = split_lines(refused.err);
  ASSERT_EQ(named.size(), 4u) << refused.err;
  EXPECT_NE(named[0].find(dir + "/runs/0-0.csv"), std::string::npos) << named[0];
  EXPECT_NE(named[3].find(dir + "/runs/0-2.txt"), std::string::npos) << named[3];
  EXPECT_EQ(outputs(dir).size(), 2u) << "only the one run's files";
  EXPECT_FALSE(any_temporary(dir));

  ASSERT_EQ(sh("(" + commands[0] + " && " + commands[2] + ")").status, 0);
  EXPECT_EQ(batch("--merge " + dir).status, 0);
  EXPECT_EQ(outputs(dir).size(), 9u);
}

TEST(EnsembleRun, KilledWorkerFailsTheEnsembleNamingItsSeed) {
  const std::string dir = scratch("killed");
  const std::string args = "--seed 21 --population 30000 --arena-size 250 --max-days 40 --runs 2 "
                           "--jobs 1 --quiet --out " +
                           dir;
  const pid_t parent = spawn_batch(args);
  const std::vector<pid_t> workers = wait_for_workers(parent, 1);
  ASSERT_EQ(workers.size(), 1u);
  kill(workers[0], SIGKILL);
  EXPECT_EQ(exit_status(parent), 1);
  const std::string err = slurp(std::string(TEST_BINARY_DIR) + "/spawn.err");
  EXPECT_NE(err.find("run (0, 0) with seed 21 failed: killed by signal 9"), std::string::npos)
      << err;
  EXPECT_TRUE(fs::exists(dir + "/runs/0-1.csv")) << "the other run finishes";
  EXPECT_FALSE(fs::exists(dir + "/runs.csv"));
  EXPECT_FALSE(fs::exists(dir + "/summary.csv"));

  // The failed run's planned command, then a merge, complete the folder.
  const Result plan = batch(args + " --plan --force");
  ASSERT_EQ(plan.status, 0) << plan.err;
  ASSERT_EQ(sh(split_lines(plan.out)[0]).status, 0);
  EXPECT_EQ(batch("--merge " + dir).status, 0);
  EXPECT_TRUE(fs::exists(dir + "/summary.csv"));
}

TEST(EnsembleRun, SigtermStopsEveryWorkerAndLeavesNoPartialFile) {
  const std::string dir = scratch("stopped");
  const pid_t parent =
      spawn_batch("--seed 3 --population 30000 --arena-size 250 --max-days 200 --runs 4 "
                  "--jobs 2 --out " +
                  dir);
  const std::vector<pid_t> workers = wait_for_workers(parent, 2);
  ASSERT_EQ(workers.size(), 2u);
  kill(parent, SIGTERM);
  EXPECT_EQ(exit_status(parent), 143);
  for (const pid_t w : workers)
    EXPECT_NE(kill(w, 0), 0) << "worker " << w << " is gone";
  EXPECT_FALSE(fs::exists(dir + "/runs.csv"));
  EXPECT_FALSE(fs::exists(dir + "/summary.csv"));
  EXPECT_FALSE(any_temporary(dir));
}

TEST(EnsembleRun, UnusableFolderIsRefusedBeforeAnyRun) {
  const std::string full = scratch("full"), file = scratch("file");
  fs::create_directories(full + "/old");
  std::ofstream(file) << "x";
  const struct {
    std::string dir;
    int status;
  } cases[] = {{scratch("no") + "/such", 1}, {file, 1}, {full, 2}};
  for (const auto& c : cases) {
    const Result r = batch("--population 300 --arena-size 100 --runs 2 --out " + c.dir);
    EXPECT_EQ(r.status, c.status) << c.dir;
    EXPECT_EQ(split_lines(r.err).size(), 1u) << r.err;
    EXPECT_TRUE(r.out.empty()) << "no run started";
  }
  EXPECT_FALSE(fs::exists(full + "/runs"));
  EXPECT_EQ(
      batch("--population 300 --arena-size 100 --max-days 3 --runs 2 --force --out " + full).status,
      0);
}

TEST(EnsembleRun, AnIgnoredSigchldHandedDownStillYieldsEveryRun) {
  const std::string dir = scratch("ignored");
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
