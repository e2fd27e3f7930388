// SPDX-License-Identifier: MIT
#include "single_run/run_files.h"

#include <climits>
#include <cstring>
#include <string_view>

#include "numbers/number_reading.h"
#include "single_run/batch_options.h"

const char* const kDailyFigureNames[kSampleFigures] = {"infected",
                                                       "new_cases",
                                                       "newly_quarantined",
                                                       "immune",
                                                       "dead_today",
                                                       "newly_vaccinated",
                                                       "newly_infected",
                                                       "cumulative_infections",
                                                       "susceptible",
                                                       "ambulatory",
                                                       "bedridden",
                                                       "quarantined",
                                                       "recovered",
                                                       "vaccinated",
                                                       "dead"};

long long most_daily_count(int figure) {
  // A person is infected at most once a tick, and a day has at most the most daily
  // interactions + 1 ticks; a run of a single run may go on for up to 2^31 days.
  const long long ticks_a_day = static_cast<long long>(find_param("daily-interactions")->high) + 1;
  if (figure == kSampleNewlyInfected)
    return kMaxPopulation * ticks_a_day;
  if (figure == kSampleCumulativeInfections)
    return kMaxPopulation + kMaxPopulation * ticks_a_day * (INT_MAX + 1LL);
  return kMaxPopulation;
}

std::string daily_header() {
  std::string header = "day";
  for (const char* name : kDailyFigureNames)
    header += std::string(",") + name;
  return header;
}

void write_daily_row(std::FILE* out, int row_day, const DailySample& s) {
  std::fprintf(out, "%d", row_day);
  for (const long long v : s.value)
    std::fprintf(out, ",%lld", v);
  std::fputc('\n', out);
}

std::size_t daily_row_bytes(long long last_day) {
  // The day and each count at their widest, a comma before each count and the newline.
  std::size_t bytes = std::to_string(last_day).size() + 1;
  for (int figure = 0; figure < kSampleFigures; ++figure)
    bytes += std::to_string(most_daily_count(figure)).size() + 1;
  return bytes;
}

std::size_t daily_csv_bytes(long long rows) {
  return daily_header().size() + 1 + static_cast<std::size_t>(rows) * daily_row_bytes(rows);
}

namespace {

bool read_daily_row(const char* text, std::size_t length, int row_day, DailyRow* row) {
  row->figures.day = row_day;
  row->text = text;
  row->length = length;
  std::size_t at = 0;
  for (int field = 0; field <= kSampleFigures; ++field) {
    long long v = 0;
    const std::size_t n = read_count(std::string_view(text + at, length - at),
                                     field == 0 ? INT_MAX : most_daily_count(field - 1), &v);
    if (n == 0 || (field == 0 && v != row_day))
      return false;
    if (field > 0)
      row->figures.sample.value[field - 1] = v;
    at += n;
    if (field < kSampleFigures && (at >= length || text[at++] != ','))
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
  const std::string header = daily_header() + "\n";
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

namespace {

// The report file's lines after the report line: each "LABEL: N", with N's bound.
struct EndLine {
  const char* label;
  long long RunEnd::*figure;
  long long high;
};
const EndLine kEndLines[] = {
    {"TOTAL DEAD: ", &RunEnd::total_dead, INT_MAX},
    {"CUMULATIVE INFECTIONS: ", &RunEnd::cumulative_infections, LLONG_MAX},
    {"EVER INFECTED: ", &RunEnd::ever_infected, INT_MAX},
    {"VACCINATIONS: ", &RunEnd::vaccinations, LLONG_MAX},
};

// Reads "LABEL: N\n" at text[*at]; *at moves past it.
bool read_end_line(const std::string& text, std::size_t* at, const EndLine& line, RunEnd* end) {
  const std::size_t prefix = std::strlen(line.label);
  if (text.compare(*at, prefix, line.label) != 0)
    return false;
  const std::size_t from = *at + prefix;
  const std::size_t digits =
      read_count(std::string_view(text).substr(from), line.high, &(end->*line.figure));
  if (digits == 0 || from + digits >= text.size() || text[from + digits] != '\n')
    return false;
  *at = from + digits + 1;
  return true;
}

} // namespace

RunEnd run_end_of(const World& w) {
  return {w.dead_total, w.cumulative_infections, w.ever_infected, w.vaccinations};
}

void write_report_file(std::FILE* out, const std::string& report_line, const RunEnd& end) {
  std::fputs(report_line.c_str(), out);
  for (const EndLine& line : kEndLines)
    std::fprintf(out, "%s%lld\n", line.label, end.*line.figure);
}

bool read_report_file(const std::string& text, RunReport* r, std::string* error) {
  const std::size_t line = read_report_line(text, r);
  if (line == 0) {
    *error = "1: not the report line of a run";
    return false;
  }
  std::size_t at = line;
  int number = 2;
  for (const EndLine& end_line : kEndLines) {
    if (!read_end_line(text, &at, end_line, r)) {
      *error = std::to_string(number) + ": not \"" + end_line.label + "N\"";
      return false;
    }
    ++number;
  }
  if (at != text.size()) {
    *error = std::to_string(number) + ": more than a run's report file";
    return false;
  }
  r->line = text.substr(0, line - 1);
  return true;
}
