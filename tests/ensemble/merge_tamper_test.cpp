// SPDX-License-Identifier: MIT
// --merge takes a folder from elsewhere: each tampering fails at once, in bounded memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "ensemble/manifest.h"
#include "tests/support/batch_process.h"

const std::string kGood = TEST_BINARY_DIR "/tamper-good";

// Appends point lines in place of the digest, so that the manifest asks for `runs` runs of
// `points` points: a cap is met before the end.
static std::string grow(int runs, int points) {
  return "sed -i '$d; s/^runs\t2$/runs\t" + std::to_string(runs) +
         "/' manifest.txt; for i in $(seq 3 " + std::to_string(points) +
         "); do printf 'point\\t10\\n'; done >>manifest.txt";
}

// Each row: the tampering, done in a copy of the good folder, and what the one line must hold.
TEST(MergeTamper, EachTamperingFailsNamingFileAndLineWritingNothingAndSigtermStops) {
  // A planned folder of 2 points of 2 runs, each run's files written by its own command.
  const Result plan = batch("--seed 3 --population 300 --arena-size 100 --max-days 3 --runs 2 "
                            "--vary infection-rate=10,20 --plan --out " +
                            fresh("tamper-good"));
  ASSERT_EQ(plan.status, 0) << plan.err;
  for (const std::string& command : split_lines(plan.out))
    ASSERT_EQ(sh(command).status, 0) << command;
  const std::string man = "manifest.txt:", row = "not day ";
  const auto ed = [](const std::string& script) { return "sed -i '" + script + "' manifest.txt"; };
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"rm runs/0-1.csv; mkfifo runs/0-1.csv", "runs/0-1.csv: not a regular file"},
      {"rm manifest.txt; mkfifo manifest.txt", "manifest.txt: not a regular file"},
      {"ln -sf /dev/zero runs/0-0.csv", "runs/0-0.csv: not a regular file"},
      {"rm runs/1-1.txt; mkdir runs/1-1.txt", "runs/1-1.txt: not a regular file"},
      {"head -c 3000 /dev/zero >>runs/1-1.csv", "runs/1-1.csv: larger than the"},
      {grow(100000, 2000), man + "109: more than 10000000 runs in all"},
      {grow(1, 10001), man + "10009: more than 10000 points"},
      {ed("s/^point\t20$/point\t20,99/"), man + "10: --infection-rate must"},
      {ed("s/^point\t20$/point\t20\\\\x0a5/"), man + "10: an escape"},
      {ed("s/^runs\t2$/runs\t2\\nruns\t1/"), man + "5: a runs line out of"},
      {ed("s/^runs\t2$/runs\t+2/"), man + "4: --runs must be a whole"},
      {ed("s/^runs\t2$/runs\t2\\nplot\tdead,bogus/"), man + "5: --plot: unknown series bogus"},
      {ed("s/^runs\t2$/runs\t2\\nplot-days\t030/"), man + "5: not a plot-days"},
      {"printf 'plot\\tdead\\n' >>manifest.txt", man + "12: a line after the digest"},
      {ed("s/^fixed\t--max-days\t3$/fixed\t--max-days\t32769/"), man + "7: --max-days must be a"},
      {ed("s/^fixed\t--population/fixed\t--csv/"), man + "5: --csv, which the command on line 2"},
      {ed("s/^varied\tinfection-rate/varied\tseed/"), man + "8: varied seed where the command"},
      {ed("/^point\t20$/d"), man + "10: the command's --vary gives 2 points, the manifest 1"},
      {ed("s/^runs\t2$/runs\t1/"), man + "4: runs 1 where the command on line 2 gives 2"},
      {ed("s/^seed\t3$/seed\t4/"), man + "3: seed 4 where the command on line 2 gives 3"},
      {ed("s/^point\t10$/point\t20/; 10s/20/10/"), man + "9: point 20 where the command's --vary"},
      {ed("s/^point\t20$/point\t10/"), man + "10: point 10 where the command's --vary gives 20"},
      {ed("2s/--population 300/--population 301/"), man + "5: --population 300 where the command"},
      {ed("2s/ --max-days 3//"), man + "7: --max-days, which the command on line 2 does not"},
      {ed("2s/--seed 3/--seed 3 --bogus/"), man + "2: the command: unknown option --bogus"},
      {ed("2s/^command\t[^ ]*/command\tb/"), man + "11: the digest of the lines above differs"},
      {ed("$d"), man + "11: no digest line"},
      {"truncate -s -1 manifest.txt", man + "11: a line cut short"},
      {"truncate -s -1 runs/0-1.csv", "runs/0-1.csv:5: a row cut short"},
      {"sed -i '$d' runs/0-1.csv", "runs/0-1.csv:5: 3 rows where the report's DAYS calls for 4"},
      {"sed -i 's/DAYS: 4/DAYS: 3/' runs/1-0.txt", "runs/1-0.csv:5: more rows than the report"},
      {"sed -i 's/^2,/99999999999,/' runs/1-1.csv", "runs/1-1.csv:3: " + row + "2's row"},
      {"sed -i '4s/^3,[0-9]*,/3,-1,/' runs/0-0.csv", "runs/0-0.csv:4: " + row + "3's row"},
      {"sed -i '2s/^1,/1,0/' runs/0-0.csv", "runs/0-0.csv:2: " + row + "1's row"},
      {"sed -i '2s/^1,/1, /' runs/1-0.csv", "runs/1-0.csv:2: " + row + "1's row"},
      {"sed -i '1s/$/\\x1b[2J\\r/' runs/0-1.txt", "runs/0-1.txt:1: not the report line"},
      {"sed -i 's/TOTAL DEAD: 0/TOTAL DEAD: -1/' runs/1-1.txt", "runs/1-1.txt:2: not \"TOTAL"},
      {"printf x >>runs/1-1.txt", "runs/1-1.txt:6: more than a run's report file"},
  };
  for (const auto& [tampering, says] : rows) {
    const std::string dir = fresh("tampered");
    std::filesystem::copy(kGood, dir, std::filesystem::copy_options::recursive);
    ASSERT_EQ(sh("cd " + dir + " && " + tampering).status, 0) << tampering;
    const std::set<std::string> before = names_in(dir, true);
    const Result r = sh("timeout -s KILL 20 /usr/bin/time -f %M -o " + dir + ".kb " +
                        BATCH_BINARY " --merge " + dir);
    // No control character on standard output; peak memory (kB, time's last line) under 200 MB.
    const std::vector<std::string> kb = split_lines(slurp(dir + ".kb"));
    EXPECT_EQ(std::tuple(r.status, split_lines(r.err).size(), r.err.find(says) != std::string::npos,
                         names_in(dir, true),
                         std::all_of(r.out.begin(), r.out.end(),
                                     [](unsigned char c) { return c == '\n' || c >= 0x20; }),
                         !kb.empty() && std::stol(kb.back()) < 200000),
              std::tuple(1, 1u, true, before, true, true))
        << tampering << ": " << r.err << (kb.empty() ? "no peak memory measured" : kb.back());
  }
  // Checking 10^7 missing runs takes many seconds: SIGTERM, sent once the first is named, stops it.
  // The manifest, as the writer writes it, is read whole first: its values against its command.
  Plan big{"", fresh("tamper-big", true), 4000000000u, 100000, {}, {"population"}, {}, {14, 0}};
  for (int p = 1; p <= 100; ++p)
    big.points.push_back({std::to_string(p)});
  std::string error;
  ASSERT_TRUE(write_manifest(big,
                             "b --seed 4000000000 --runs 100000 --vary "
                             "population=1:100:1 --plot dead,infected --out 'a\\ b'",
                             &error))
      << error;
  const Result r =
      sh("cd " + big.dir + " && mkdir runs && " +
         "(timeout -s KILL 5 " BATCH_BINARY " --merge . 2>err & p=$!; "
         "until grep -q cannot err || ! kill -0 $p; do sleep 0.01; done; kill -TERM $p; wait $p); "
         "s=$?; cat err >&2; rm err; exit $s");
  EXPECT_EQ(r.status, 143) << r.err;
  EXPECT_NE(r.err.find("stopped by SIGTERM"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("more run files"), std::string::npos) << r.err;
}
