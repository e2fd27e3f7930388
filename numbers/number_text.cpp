// SPDX-License-Identifier: MIT
#include "numbers/number_text.h"

#include <charconv>
#include <cstdlib>

namespace {

// Room for any double in the shortest general form: "-2.2250738585072014e-308" takes 24.
constexpr int kRoom = 64;

std::string chars(double v, std::chars_format form) {
  char text[kRoom];
  const auto written = std::to_chars(text, text + sizeof text, v, form);
  return written.ec == std::errc() ? std::string(text, written.ptr) : std::string();
}

} // namespace

std::string shortest_text(double v) {
  if (v == 0.0)
    return "0"; // no "-0"
  // The fixed form of a large or tiny magnitude does not fit: the general form then.
  const std::string fixed = chars(v, std::chars_format::fixed);
  return fixed.empty() ? chars(v, std::chars_format::general) : fixed;
}

std::string real_literal(double v) {
  if (v == 0.0)
    return "0.0";
  const std::string scientific = chars(v, std::chars_format::scientific);
  const int exponent = std::atoi(scientific.c_str() + scientific.find('e') + 1);
  std::string text =
      exponent >= -5 && exponent < 17 ? chars(v, std::chars_format::fixed) : scientific;
  if (text.find_first_of(".e") == std::string::npos)
    text += ".0";
  return text;
}
