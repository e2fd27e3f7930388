// SPDX-License-Identifier: MIT
#include "ensemble/progress_line.h"

#include <string>

namespace {

std::string duration(double seconds) {
  const long long s = static_cast<long long>(seconds + 0.5);
  char text[32];
  if (s >= 3600)
    std::snprintf(text, sizeof text, "%lldh%02lldm", s / 3600, s / 60 % 60);
  else if (s >= 60)
    std::snprintf(text, sizeof text, "%lldm%02llds", s / 60, s % 60);
  else
    std::snprintf(text, sizeof text, "%llds", s);
  return text;
}

} // namespace

ProgressLine::ProgressLine(std::FILE* out, bool enabled, long long total, const char* unit)
    : out_(out), enabled_(enabled), total_(total), unit_(unit), start_(Clock::now()) {}

void ProgressLine::update(long long done, const std::string& note) {
  if (!enabled_)
    return;
  const Clock::time_point now = Clock::now();
  if (shown_ && now - last_draw_ < std::chrono::milliseconds(100))
    return;
  last_draw_ = now;
  shown_ = true;
  const double elapsed = std::chrono::duration<double>(now - start_).count();
  const std::string left =
      done > 0
          ? "about " +
                duration(elapsed / static_cast<double>(done) * static_cast<double>(total_ - done)) +
                " left"
          : "time left not known yet";
  // \r returns to the line's start and ESC[K wipes what a longer line left behind.
  std::fprintf(out_, "\r%lld/%lld %s%s, %s elapsed, %s\033[K", done, total_, unit_,
               note.empty() ? "" : (", " + note).c_str(), duration(elapsed).c_str(), left.c_str());
  std::fflush(out_);
}

void ProgressLine::clear() {
  if (!shown_)
    return;
  std::fputs("\r\033[K", out_);
  std::fflush(out_);
  shown_ = false;
}
