// SPDX-License-Identifier: MIT
#pragma once
#include <cstddef>
#include <cstdio>
#include <string>

class World;

// The two lines a run reports, written here and read back here. The status line, every tick:
// "DAY: %d INFECTED: %d EVER SICKENED: %d NEW CASES: %d DEAD: %d". The report line, at the end
// of a run: "%d: %s DAYS: %d AREA: %f\n", the population, the status line of the run's peak, the
// days and the area per person.
void format_status_line(char* buf, std::size_t size, int on_day, int infected, int ever_sickened,
                        int new_cases, int dead);
int format_report_line(char* buf, std::size_t size, const World& w);
void print_report_line(std::FILE* out, const World& w);

// The whole numbers of a report line, in their order.
struct ReportFigures {
  long long population, peak_day, peak_infected, ever_sickened, new_cases, dead, days;
};
// Reads a report line, its newline included, from the start of `text`: only what
// format_report_line writes (each count as %d writes a non-negative int, the area as %f writes
// the value it reads as). Returns the bytes it took, or 0 when `text` does not start with one.
std::size_t read_report_line(const std::string& text, ReportFigures* figures);
