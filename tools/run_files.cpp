// SPDX-License-Identifier: MIT
#include "tools/run_files.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "tools/batch_options.h"

namespace {

// The report file as a run writes it: format_report_line's line (sim/world.cpp), then the dead.
// '#' stands for a whole number as %d writes it, '~' for a real as %f writes it.
const char* const kReportForm = "#: DAY: # INFECTED: # EVER SICKENED: # NEW CASES: # DEAD: # "
                                "DAYS: # AREA: ~\nTOTAL DEAD: #\n";

// A count as %d writes a non-negative int: digits, no sign, no leading zero but in "0".
bool read_count(const char* text, std::size_t length, long long high, long long* out) {
  return length > 0 && (length == 1 || text[0] != '0') &&
         parse_whole_number(std::string(text, length), 0, high, out);
}

// The real of "AREA: ", up to the newline: only the text %f gives for the value it reads as.
std::size_t read_real(const char* text, std::size_t length) {
  const std::size_t end = std::string(text, length).find('\n');
  if (end == std::string::npos || end == 0 || end > 64)
    return 0;
  const std::string given(text, end);
  char again[400];
  std::snprintf(again, sizeof again, "%f", std::strtod(given.c_str(), nullptr));
  return given == again ? end : 0;
}

std::size_t digits_at(const char* text, std::size_t length) {
  std::size_t n = 0;
  while (n < length && text[n] >= '0' && text[n] <= '9')
    ++n;
  return n;
}

} // namespace

const char* const kDailyHeader = "day,infected,new_cases,newly_quarantined,immune,dead_today";

void write_daily_row(std::FILE* out, int row_day, const DailySample& s) {
  std::fprintf(out, "%d,%d,%d,%d,%d,%d\n", row_day, s.infected, s.new_cases, s.newly_quarantined,
               s.immune_count, s.dead_today);
}

std::size_t daily_row_bytes(long long last_day) {
  // The day and each count at their widest, five commas and the newline.
  const std::size_t count = std::to_string(kMaxPopulation).size();
  return std::to_string(last_day).size() + 5 * count + 6;
}

std::size_t daily_csv_bytes(long long rows) {
  return std::strlen(kDailyHeader) + 1 + static_cast<std::size_t>(rows) * daily_row_bytes(rows);
}

namespace {

bool read_daily_row(const char* text, std::size_t length, int row_day, DailyRow* row) {
  row->day = row_day;
  row->text = text;
  row->length = length;
  std::size_t at = 0;
  for (int field = 0; field < 6; ++field) {
    const std::size_t n = digits_at(text + at, length - at);
    long long v = 0;
    if (!read_count(text + at, n, field == 0 ? INT_MAX : kMaxPopulation, &v) ||
        (field == 0 && v != row_day))
      return false;
    if (field > 0)
      row->value[field - 1] = v;
    at += n;
    if (field < 5 && (at >= length || text[at++] != ','))
      return false;
  }
  return at == length;
}

// Reads day n's row at text[at], the file's line n + 1; *at moves past its newline.
bool next_daily_row(const std::string& text, std::size_t* at, long long n, DailyRow* row,
                    std::string* error) {
  const std::size_t end = text.find('\n', *at);
  const std::string line = std::to_string(n + 1);
  if (end == std::string::npos) {
    *error = line + ": a row cut short, without its newline";
    return false;
  }
  if (!read_daily_row(text.data() + *at, end - *at, static_cast<int>(n), row)) {
    *error = line + ": not day " + std::to_string(n) + "'s row as a run writes it";
    return false;
  }
  *at = end + 1;
  return true;
}

} // namespace

bool read_daily_csv(const std::string& text, long long rows,
                    const std::function<void(const DailyRow&)>& take, std::string* error) {
  const std::string header = std::string(kDailyHeader) + "\n";
  if (text.compare(0, header.size(), header) != 0) {
    *error = "1: not the header of a run's daily CSV";
    return false;
  }
  std::size_t at = header.size();
  long long n = 1; // the row's day and its number
  for (; at < text.size(); ++n) {
    DailyRow row{};
    if (n > rows && text.find('\n', at) != std::string::npos) {
      *error = std::to_string(n + 1) + ": more rows than the report's DAYS calls for";
      return false;
    }
    if (!next_daily_row(text, &at, n, &row, error))
      return false;
    take(row);
  }
  if (n - 1 != rows) {
    *error = std::to_string(n + 1) + ": " + std::to_string(n - 1) +
             " rows where the report's DAYS calls for " + std::to_string(rows);
    return false;
  }
  return true;
}

bool read_daily_rows(const std::string& text, int first, int last,
                     const std::function<void(const DailyRow&)>& take, std::size_t* used,
                     std::string* error) {
  std::size_t at = 0;
  for (long long n = first; n <= last; ++n) {
    DailyRow row{};
    if (!next_daily_row(text, &at, n, &row, error))
      return false;
    take(row);
  }
  *used = at;
  return true;
}

void write_report_file(std::FILE* out, const std::string& report_line, int total_dead) {
  std::fprintf(out, "%sTOTAL DEAD: %d\n", report_line.c_str(), total_dead);
}

bool read_report_file(const std::string& text, RunReport* r, std::string* error) {
  long long* const numbers[] = {&r->population, &r->peak_day, &r->peak_infected, &r->ever_sickened,
                                &r->new_cases,  &r->dead,     &r->days,          &r->total_dead};
  std::size_t at = 0, next = 0;
  int line = 1;
  for (const char* form = kReportForm; *form != '\0'; ++form) {
    const std::size_t left = text.size() - at;
    std::size_t n = 1;
    if (*form == '#')
      n = digits_at(text.data() + at, left);
    else if (*form == '~')
      n = read_real(text.data() + at, left);
    const bool ok = *form == '#'   ? read_count(text.data() + at, n, INT_MAX, numbers[next++])
                    : *form == '~' ? n > 0
                                   : left > 0 && text[at] == *form;
    if (!ok) {
      *error = std::to_string(line) + ": not " +
               (line == 1 ? "the report line of a run" : "\"TOTAL DEAD: N\"");
      return false;
    }
    line += *form == '\n';
    at += n;
  }
  if (at != text.size()) {
    *error = std::to_string(line) + ": more than a run's report file";
    return false;
  }
  r->line = text.substr(0, text.find('\n'));
  return true;
}
