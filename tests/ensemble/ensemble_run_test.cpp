// SPDX-License-Identifier: MIT
// Ensembles run for real: worker processes, the merge, --plan through GNU parallel, and faults.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <map>

#include "ensemble/plan.h"
#include "tests/support/batch_process.h"

namespace fs = std::filesystem;

// Every file an ensemble leaves in DIR but the manifest, picture and empty lock file.
static std::map<std::string, std::string> outputs(const std::string& dir) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(dir)) {
    const std::string rel = fs::relative(e.path(), dir).string();
    if (e.is_regular_file() && rel != "manifest.txt" && rel != "bands.png" &&
        rel != ".epidemic_batch.lock")
      files[rel] = slurp(e.path());
  }
  return files;
}

// The seed, population and arena size from a setup file, which is deleted once planned.
const std::string kSetup = TEST_BINARY_DIR "/sweep.toml";
const std::string kSweep = "--setup " + kSetup +
                           " --max-days 40 --runs 5 --vary "
                           "infection-rate=10,20 --plot dead,infected --plot-days 30";
const std::string kTiny = "--population 300 --arena-size 100 --max-days 3 --runs 2 ";
// What a failed ensemble leaves in DIR but run files.
const std::set<std::string> kSkeleton{".epidemic_batch.lock", "manifest.txt", "points", "runs",
                                      "setup.toml"};

// One or two workers, or the plan run by GNU parallel then merged, neither reading the setup file
// again: the same files, the plot chosen included; each point's setup runs as the point's run 0.
TEST(EnsembleRun, SameFilesWhateverTheJobsAndEachRunAsAlone) {
  const std::string one = fresh("jobs1"), two = fresh("jobs2");
  std::ofstream(kSetup) << "format = 1\n[run]\npopulation = 3000\narena-size = 150\nseed = 11\n";
  const std::string planned = fresh("planned 'q'; touch pwned $(touch x) `touch y`");
  const Result a = batch(kSweep + " --jobs 1 --out " + one);
  const Result b = batch(kSweep + " --jobs 2 --out " + two);
  ASSERT_EQ(a.status, 0) << a.err;
  EXPECT_EQ(std::pair(a.out, outputs(one)), std::pair(b.out, outputs(two)));
  EXPECT_EQ(outputs(one).size(), 29u)
      << "setup, runs, ends, points, summary, bands.dat, .gp, 2 files per run, 2 point setups";
  EXPECT_NE(outputs(one)["bands.gp"].find("'5 runs per point, seeds 11 to 15: "),
            std::string::npos);
  EXPECT_NE(outputs(one)["bands.gp"].find("\ncolumns = 2\nrows = 1\nxend = 30\narray series[2] = "
                                          "[14, 0]\narray panel[2] = [\"Dead\", \"Infected\"]\n"),
            std::string::npos);

  // An option given twice is recorded once, as a run resolves it: the last given wins.
  const Result plan = batch("--max-days 3 " + kSweep + " --plan --out " + shell_quote(planned));
  const std::vector<std::string> commands = split_lines(plan.out);
  ASSERT_EQ(commands.size(), 10u) << plan.err;
  ASSERT_EQ(std::remove(kSetup.c_str()), 0);
  ASSERT_EQ(sh(commands[1]).status, 0);
  const Result refused = batch("--merge " + shell_quote(planned));
  const std::vector<std::string> named = split_lines(refused.err);
  ASSERT_EQ(std::tuple(refused.status, refused.out, named.size(), outputs(planned).size()),
            std::tuple(1, "", 11u, 5u))
      << refused.err << "nothing but the one run's files and the setups";
  EXPECT_NE(named[0].find(planned + "/runs/0-0.csv"), std::string::npos) << named[0];
  EXPECT_NE(named[9].find(planned + "/runs/1-0.txt"), std::string::npos) << named[9];
  EXPECT_NE(named[10].find(": and 8 more run files missing"), std::string::npos) << named[10];

  std::ofstream(TEST_BINARY_DIR "/commands.txt") << plan.out;
  const Result par = sh("cd " + two + " && parallel --will-cite --halt now,fail=1 --jobs 2 < " +
                        TEST_BINARY_DIR "/commands.txt");
  ASSERT_EQ(par.status, 0) << par.err;
  const Result merged = batch("--merge " + shell_quote(planned));
  EXPECT_EQ(std::tuple(merged.status, merged.out, outputs(planned), outputs(two)),
            std::tuple(0, a.out, outputs(one), outputs(one)))
      << merged.err << "; a quoted folder name runs nothing in parallel's folder";

  const Result alone = batch("--csv - --seed 13 --infection-rate 20 --population 3000 "
                             "--arena-size 150 --max-days 40"); // its rows, then its report
  const std::vector<std::string> reports = split_lines(a.out);
  ASSERT_EQ(reports.size(), 10u);
  std::string rows = alone.out.substr(0, alone.out.find('\n') + 1); // the daily CSV's header
  EXPECT_EQ(slurp(one + "/runs.csv").rfind("point,run,seed,infection-rate," + rows, 0), 0u);
  for (const std::string& line : split_lines(slurp(one + "/runs.csv")))
    if (line.rfind("1,2,13,20,", 0) == 0)
      rows += line.substr(10) + "\n";
  EXPECT_EQ(rows + reports[7] + "\n", alone.out) << "point 1, run 2 has seed 11 + 2";
  // A setup holds no --max-days; the swept key stands only in the points' setups.
  EXPECT_EQ(batch("--setup " + one + "/points/1.toml --max-days 40").out, reports[5] + "\n");
  const std::string setup = slurp(one + "/setup.toml");
  EXPECT_TRUE(setup.rfind("# swept, see points/: infection-rate\n", 0) == 0 &&
              setup.find("infection-rate =") == std::string::npos &&
              setup.find("\npopulation = 3000\n") != std::string::npos &&
              setup.find("\nseed = 11\n") != std::string::npos)
      << setup;

  // The last varied fastest, seeds wrapping; a stepped list holds both ends despite rounding.
  const std::string dir = fresh("stepped");
  const std::vector<std::string> stepped =
      split_lines(batch("--out " + dir +
                        " --plan --population 900 --runs 3 --seed 4294967295 --vary "
                        "lockdown=1:0:-1 --vary=quarantine-rate=0.1:0.3:0.1")
                      .out);
  ASSERT_EQ(stepped.size(), 18u);
  EXPECT_EQ(stepped[14], BATCH_BINARY " --population 900 --lockdown 0 --quarantine-rate 0.2 "
                                      "--seed 1 --csv " +
                             dir + "/runs/4-2.csv --report " + dir + "/runs/4-2.txt");
}

// A killed worker's run is named while the others go on; SIGTERM stops every worker.
TEST(EnsembleRun, KilledWorkerOrSigtermFailsTheEnsembleLeavingNoPartialFile) {
  for (const auto& [signal, target, status, says] :
       {std::tuple{"KILL", "$(cut -d' ' -f1 $c)", 1,
                   "run (0, 0) with seed 21 failed: killed by signal 9"},
        {"TERM", "$p", 143, "stopped by SIGTERM"}}) {
    const std::string dir = fresh("stopped");
    // Once three runs have their worker at once, the shell lists them and signals.
    const Result r =
        sh(BATCH_BINARY " --population 30000 --arena-size 250 --seed 21 --max-days 200 "
                        "--runs 4 --jobs 3 --quiet --out " +
           dir +
           " & p=$! c=/proc/$!/task/$!/children; until [ ! -e $c ] || "
           "[ $(wc -w <$c) -ge 3 ]; do sleep 0.002; done; tr ' ' '\\n' <$c; kill -" +
           signal + " " + target + "; wait $p");
    EXPECT_EQ(std::pair(r.status, r.err.find(says) != std::string::npos), std::pair(status, true))
        << r.err;
    const std::vector<std::string> workers = split_lines(r.out);
    ASSERT_EQ(workers.size(), 3u) << r.out;
    for (const std::string& w : workers)
      EXPECT_NE(kill(std::stoi(w), 0), 0) << "worker " << w << " is gone";
    std::set<std::string> left = kSkeleton; // the killed worker's temporaries go with it
    left.insert("points/0.toml");
    if (status == 1)
      left.insert({"runs/0-1.csv", "runs/0-1.txt", "runs/0-2.csv", "runs/0-2.txt", "runs/0-3.csv",
                   "runs/0-3.txt"});
    EXPECT_EQ(names_in(dir, true), left);
  }
}

// A folder that cannot be made or is not empty; a --plot list empty, cut short, repeating a
// series or of ten (its range and --plot-days' are the option test's). The forced run inherits an
// ignored SIGCHLD; of two ensembles into one folder never both succeed.
TEST(EnsembleRun, UnusableOrClaimedFolderIsRefusedBeforeAnyRun) {
  const std::string full = fresh("full"), file = fresh("file"), plotted = fresh("plotted");
  fs::create_directories(full + "/old");
  std::ofstream(file) << "x";
  const std::string ten = "infected,new_cases,newly_quarantined,immune,dead_today,newly_vaccinated,"
                          "newly_infected,cumulative_infections,susceptible,ambulatory";
  const std::string to = " --out " + plotted;
  int i = 0; // the first two exit 1, the others 2
  for (const std::string& args :
       {"--out " + fresh("no") + "/such", "--out " + file, "--out " + full, "--plot ''" + to,
        "--plot dead," + to, "--plot dead,dead" + to, "--plot " + ten + to}) {
    const Result r = batch(kTiny + args);
    EXPECT_EQ(std::tuple(r.status, r.out, split_lines(r.err).size(), fs::exists(plotted)),
              std::tuple(i++ < 2 ? 1 : 2, "", 1u, false))
        << args << ": " << r.err;
  }
  EXPECT_FALSE(fs::exists(full + "/runs"));
  const Result r = sh("exec env --ignore-signal=CHLD " BATCH_BINARY " " + kTiny +
                      "--quiet --force --out " + full);
  EXPECT_EQ(std::pair(r.status, fs::exists(full + "/summary.csv")), std::pair(0, true)) << r.err;
  for (int tries = 0; tries < 5; ++tries) {
    const std::string twice = fresh("twice"),
                      run = BATCH_BINARY " " + kTiny + "--quiet --out " + twice + " >/dev/null";
    EXPECT_NE(sh(run + " & a=$!; " + run + "; b=$?; wait $a; echo $? $b").out, "0 0\n");
  }
  for (const std::string& args : {"--merge " + full, kTiny + "--force --out " + full}) {
    const Result claimed = sh("flock " + full + "/.epidemic_batch.lock " BATCH_BINARY " " + args);
    EXPECT_EQ(
        std::tuple(claimed.status, claimed.err),
        std::tuple(1, "epidemic_batch: " + full + " is in use by another ensemble or merge\n"));
  }
}

// SIGTERM while a stand-in gnuplot draws, a run failing (its report's name a folder or a mount
// point), a full disk.
TEST(EnsembleRun, LateFailuresLeaveNoSummaryFile) {
  const std::string bin = fresh("stand-in", true);
  std::ofstream(bin + "/gnuplot") << "#!/bin/sh\necho $$ >" << bin
                                  << "/pid\nkill -TERM $PPID\nsleep 60\ntouch " << bin
                                  << "/drawn\n";
  fs::permissions(bin + "/gnuplot", fs::perms::owner_all);
  const char* const failed = "run (0, 1) with seed 2 failed: exit status 1";
  for (const auto& [setup, path, status, says, csv_kept] :
       {std::tuple{"", bin + ":", 143, "stopped by SIGTERM; no summary written", true},
        {"mkdir -p $D/runs/0-1.txt", "", 1, failed, false},
        {"mkdir $D/runs; touch $D/x $D/runs/0-1.txt; mount --bind $D/x $D/runs/0-1.txt", "", 1,
         failed, false},
        {"mount -t tmpfs -o size=200k tmpfs $D", "", 1, "bands.png", true}}) {
    const std::string dir = fresh("late", true);
    const Result prepared = sh("D=" + dir + "; " + setup);
    if (prepared.status != 0)
      GTEST_SKIP() << "mount refused: " << prepared.err;
    const Result r = sh("PATH=" + path +
                        "$PATH " BATCH_BINARY " --population 300 --arena-size 100 "
                        "--seed 1 --max-days 20 --runs 6 --vary infection-rate=10,20 --quiet "
                        "--force --out " +
                        dir);
    std::set<std::string> left = names_in(dir);
    left.erase("x");
    EXPECT_EQ(std::tuple(r.status, r.err.find(says) != std::string::npos, left,
                         fs::exists(dir + "/runs/0-1.csv")),
              std::tuple(status, true, kSkeleton, csv_kept))
        << r.err;
    sh("umount " + dir + "/runs/0-1.txt " + dir);
  }
  EXPECT_EQ(std::pair(kill(std::stoi(slurp(bin + "/pid")), 0), fs::exists(bin + "/drawn")),
            std::pair(-1, false))
      << "the stand-in gnuplot is reaped and was ended, not left drawing";
}

// Under umask 027 everything left, gnuplot's files too, is 0640 or 0750.
TEST(EnsembleRun, FilesFollowTheUmaskAndLinksAreReplacedNotFollowed) {
  const std::string dir = fresh("umask"), outside = fresh("precious.txt");
  std::ofstream(outside) << "precious\n";
  for (const char* sub : {"/runs", "/points"})
    fs::create_directories(dir + sub), fs::permissions(dir + sub, fs::perms(0750));
  std::vector<std::string> linked{"summary.csv",  "points.csv",    "bands.gp",    "setup.toml",
                                  "manifest.txt", "points/0.toml", "runs/0-0.csv"};
  for (const std::string& merge : {std::string(), "--merge " + dir}) {
    for (const std::string& name : linked)
      fs::remove(dir + "/" + name), fs::create_symlink(outside, dir + "/" + name);
    const Result r = sh("umask 027; " BATCH_BINARY " " +
                        (merge.empty() ? kTiny + "--force --out " + dir : merge));
    EXPECT_EQ(std::pair(r.status, slurp(outside)), std::pair(0, std::string("precious\n")))
        << r.err;
    std::map<std::string, fs::perms> modes;
    for (const auto& e : fs::recursive_directory_iterator(dir))
      if (fs::symlink_status(e.path()).permissions() !=
          (e.is_directory() ? fs::perms(0750) : fs::perms(0640)))
        modes[e.path().string()] = fs::symlink_status(e.path()).permissions();
    EXPECT_TRUE(modes.empty()) << modes.begin()->first << " " << int(modes.begin()->second);
    linked.resize(3); // a merge follows links to run files, and writes no manifest nor setup
  }
}
