// SPDX-License-Identifier: MIT
#include "chart/save_alert.h"

#include <FL/Fl.H>
#include <FL/fl_ask.H>

namespace {

// At the alert's default font this keeps a line well inside a 1024-pixel screen.
constexpr size_t kLineChars = 64;

// Breaks after the last '/' or space in the second half of a line that would be too long, or at
// the bound itself when there is none (a single very long name).
std::string wrapped(const std::string& text) {
  std::string out;
  size_t start = 0;
  while (text.size() - start > kLineChars) {
    size_t cut = text.find_last_of("/ ", start + kLineChars - 1);
    cut = cut == std::string::npos || cut < start + kLineChars / 2 ? start + kLineChars : cut + 1;
    out.append(text, start, cut - start).push_back('\n');
    start = cut;
  }
  return out.append(text, start, std::string::npos);
}

// Labels read '@' as the start of a symbol; a path shows it as it is.
std::string without_symbols(const char* text) {
  std::string out;
  for (; *text; ++text) {
    out.push_back(*text);
    if (*text == '@')
      out.push_back('@');
  }
  return out;
}

void show_alert(const char* text) {
  fl_alert("%s", without_symbols(text).c_str());
}

void alert_cb(void* data) {
  auto* text = static_cast<std::string*>(data);
  if (chart_alert)
    chart_alert(text->c_str());
  delete text;
}

} // namespace

const char kImageNotSavedTo[] = "The image could not be saved to ";
const char kChartClosed[] = "The chart was closed before it could be saved.";
void (*chart_alert)(const char* text) = show_alert;

std::string failed_save_text(const std::string& sentence, const std::string& reason) {
  return wrapped(sentence) + "\n" + reason;
}

void alert_later(const std::string& text) {
  Fl::add_timeout(0.0, alert_cb, new std::string(text));
}
