// SPDX-License-Identifier: MIT
#pragma once
// A run's two files, written here by a run (--csv, --report) and read back here by --merge, which
// takes a folder from elsewhere as data and accepts only what a run writes, to the byte.
#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>

#include "sim/report_line.h"
#include "sim/tick_hooks.h"

class World;

// The daily CSV: this header, then one row "day,infected,new_cases,newly_quarantined,immune,
// dead_today,newly_vaccinated,newly_infected,cumulative_infections,susceptible,ambulatory,
// bedridden,quarantined,recovered,vaccinated,dead" per day from day 1 on, as many as the report's
// DAYS.
std::string daily_header();
// The names of a sample's figures, the header's columns after "day".
extern const char* const kDailyFigureNames[kSampleFigures];
// The most a run can write for a figure: the population, or more for the infection counts.
long long most_daily_count(int figure);
void write_daily_row(std::FILE* out, int day, const DailySample& s);

// The most bytes a daily CSV of `rows` rows can take: every count is at most kMaxPopulation.
std::size_t daily_csv_bytes(long long rows);
// The most bytes one row of such a CSV can take, for days up to `last_day`.
std::size_t daily_row_bytes(long long last_day);

// A day of a run and its sample.
struct DayFigures {
  int day;
  DailySample sample;
};

// One row read back.
struct DailyRow {
  DayFigures figures;
  const char* text; // the row as written, without its newline
  std::size_t length;
};

// Reads a daily CSV of exactly `rows` rows, handing each to `take` in order. On anything a run
// would not write, returns false with "LINE: REASON" in *error.
bool read_daily_csv(const std::string& text, long long rows,
                    const std::function<void(const DailyRow&)>& take, std::string* error);

// Reads the rows of days `first` to `last` from `text`, which starts at day first's row of a
// daily CSV, handing each to `take`, and sets *used to the bytes they took; what follows them is
// not read. As read_daily_csv, false with "LINE: REASON" on a row a run would not write there.
bool read_daily_rows(const std::string& text, int first, int last,
                     const std::function<void(const DailyRow&)>& take, std::size_t* used,
                     std::string* error);

// What a run leaves after its last tick, beyond its report line.
struct RunEnd {
  long long total_dead = 0;            // everyone dead when the run ended
  long long cumulative_infections = 0; // every infection of the run, the initial ones included
  long long ever_infected = 0;         // the persons infected at least once
  long long vaccinations = 0;          // every vaccination of the run
};
RunEnd run_end_of(const World& world);

// The report file: the report line, then "TOTAL DEAD: N", "CUMULATIVE INFECTIONS: N",
// "EVER INFECTED: N" and "VACCINATIONS: N", a line each.
void write_report_file(std::FILE* out, const std::string& report_line, const RunEnd& end);

// The report file's fields read back, and its line without the newline.
struct RunReport : ReportFigures, RunEnd {
  std::string line;
};
// The most bytes a report file can take.
constexpr std::size_t kReportFileBytes = 1024;
// False, with "LINE: REASON" in *error, unless `text` is a report file as a run writes it.
bool read_report_file(const std::string& text, RunReport* report, std::string* error);
