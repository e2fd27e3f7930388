// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "fileio/atomic_file.h"
#include "params/run_parameters.h"
#include "sim/schedules.h"
#include "sim/world.h"

// A setup: every value the control panel sets, as a TOML file that both programs open and that
// any TOML reader reads back to the same values. This unit alone writes and reads the format:
//
//   format = 1
//   [run]       every run parameter under its option name, the schedules in use, seed if any
//   [display]   every display setting
//
// A key the file leaves out takes the table's first value, so a file means the same setup
// whatever was shown before it was opened.
struct Setup {
  // Every run parameter. The display settings a run also carries (speed, hide-*) are read from
  // and written to `display`, never from here.
  RunParameters params = initial_run_parameters();
  SchedulePanel schedules; // a schedule is in the file only when in use
  bool has_seed = false;
  uint32_t seed = 0;
  std::map<std::string, double> display; // every display setting by its name
};

// The table's first values, no schedule in use, no seed.
Setup initial_setup();

// The file's text.
std::string setup_text(const Setup& setup);
// Writes the file whole (see AtomicFile). False with "cannot write PATH: REASON" in *error.
bool write_setup(const std::string& path, const Setup& setup, std::string* error,
                 AtomicFile::Links links = AtomicFile::Links::kFollow);

// Reads a regular file of at most kMaxSetupBytes. False, with one line "PATH:LINE: REASON" (or
// "PATH: REASON" when no line is to blame) in *error, and *setup as it was, on any fault. Whatever
// the line quotes from the file or its path is escaped and cut short (see quoted()), so that both
// programs print it, and the panel shows it, as the same short visible line.
constexpr long kMaxSetupBytes = 64 * 1024;
bool read_setup(const std::string& path, Setup* setup, std::string* error);
// The same for text already read; `name` stands for the file in messages.
bool parse_setup(const std::string& text, const std::string& name, Setup* setup,
                 std::string* error);

// The [run] values as the batch runner's options take them, in the table's order, without
// dashes: ("population", "3000"), ("hard-edge", "1"), ("inactivity-schedule", "0:50,..."), then
// ("seed", "7") when the setup holds one.
std::vector<std::pair<std::string, std::string>> setup_options(const Setup& setup);

// The shortest decimal that reads back to `v` (finite), always with a '.' or an exponent.
std::string real_text(double v);
// "D:V,..." up to the last setpoint in use (at least one).
std::string schedule_text(const PolicyArray& policy);
