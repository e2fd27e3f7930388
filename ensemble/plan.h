// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "ensemble/ensemble_options.h"

// What an ensemble runs: every parameter point, each run R of a point with seed SEED + R, and
// where each run leaves its files. Run i of the whole ensemble is point i / runs, run i % runs.
struct Plan {
  std::string program; // the epidemic_batch that runs each run, an absolute path
  std::string dir;     // absolute
  uint32_t seed = 0;
  int runs = 1;
  std::vector<std::pair<std::string, std::string>> fixed; // passed to every run
  std::vector<std::string> varied_names;
  std::vector<std::vector<std::string>> points; // each point's value of each varied option
  std::vector<int> plot;                        // --plot's series; empty: the default panels
  int plot_days = 0;                            // --plot-days; 0: where the runs thin out

  long long total() const { return static_cast<long long>(points.size()) * runs; }
  int point_of(long long index) const { return static_cast<int>(index / runs); }
  int run_of(long long index) const { return static_cast<int>(index % runs); }
  // Unsigned arithmetic wraps modulo 2^32, as the seeds of a run series do.
  uint32_t seed_of(int run) const { return seed + static_cast<uint32_t>(run); }
  // DIR/runs/P-R.EXT
  std::string run_file(int point, int run, const char* ext) const;
  // The complete single-run command line of run (P, R), the program first.
  std::vector<std::string> run_command(int point, int run) const;
};

// The cartesian product of the varied options' values, the last option varying fastest. No
// varied option gives the one empty point.
std::vector<std::vector<std::string>> cartesian_points(const std::vector<VariedOption>& varied);

// The argument as one word for a POSIX shell: left bare when nothing in it is special, else in
// single quotes with each quote written '\''.
std::string shell_quote(const std::string& arg);
// The words joined by spaces, each quoted.
std::string shell_line(const std::vector<std::string>& words);
// The words of a line that shell_line wrote, and false for any other line.
bool shell_words(const std::string& line, std::vector<std::string>* words);
