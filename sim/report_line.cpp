// SPDX-License-Identifier: MIT
#include "sim/report_line.h"

#include <climits>
#include <string_view>

#include "numbers/number_reading.h"
#include "sim/world.h"

namespace {

// '#' stands for a count, '~' for the area.
const char* const kReportForm =
    "#: DAY: # INFECTED: # EVER SICKENED: # NEW CASES: # DEAD: # DAYS: # AREA: ~\n";

// The area, up to the newline: only the text %f gives for the value it reads as.
std::size_t read_area(const std::string& text, std::size_t at) {
  const std::size_t end = text.find('\n', at);
  if (end == std::string::npos || end == at || end - at > 64)
    return 0;
  const std::string given = text.substr(at, end - at);
  double area = 0.0;
  char again[400];
  if (!parse_real_number(given, &area))
    return 0;
  std::snprintf(again, sizeof again, "%f", area);
  return given == again ? end - at : 0;
}

} // namespace

void format_status_line(char* buf, std::size_t size, int on_day, int infected, int ever_sickened,
                        int new_cases, int dead) {
  std::snprintf(buf, size, "DAY: %d INFECTED: %d EVER SICKENED: %d NEW CASES: %d DEAD: %d", on_day,
                infected, ever_sickened, new_cases, dead);
}

int format_report_line(char* buf, std::size_t size, const World& w) {
  // The side is at most a few thousand, but a wider product must not overflow.
  const long long area = static_cast<long long>(global_area) * global_area;
  return std::snprintf(buf, size, "%d: %s DAYS: %d AREA: %f\n", w.population, save_buf, day,
                       static_cast<double>(area) / static_cast<double>(w.population));
}

void print_report_line(std::FILE* out, const World& w) {
  char line[512];
  format_report_line(line, sizeof line, w);
  std::fputs(line, out);
  std::fflush(out);
}

std::size_t read_report_line(const std::string& text, ReportFigures* f) {
  long long* const counts[] = {&f->population, &f->peak_day, &f->peak_infected, &f->ever_sickened,
                               &f->new_cases,  &f->dead,     &f->days};
  std::size_t at = 0, next = 0;
  for (const char* form = kReportForm; *form != '\0'; ++form) {
    std::size_t n = 1;
    if (*form == '#')
      n = read_count(std::string_view(text).substr(at), INT_MAX, counts[next++]);
    else if (*form == '~')
      n = read_area(text, at);
    else if (at >= text.size() || text[at] != *form)
      n = 0;
    if (n == 0)
      return 0;
    at += n;
  }
  return at;
}
