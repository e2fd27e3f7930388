// SPDX-License-Identifier: MIT
#include "numbers/number_reading.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>

// from_chars takes no '+' and no space, and stops at a NUL: the number must end where the text
// does. Any count of leading zeros reads, and a value beyond long long is refused, not wrapped.
bool parse_whole_number(const std::string& text, long long low, long long high, long long* out) {
  long long v = 0;
  const char* const end = text.data() + text.size();
  const auto read = std::from_chars(text.data(), end, v);
  if (read.ec != std::errc() || read.ptr != end || v < low || v > high)
    return false;
  *out = v;
  return true;
}

// strtod, for the forms the options have always taken (hex, "1e3", ".5"), but it would also take
// leading spaces, which no number of ours holds. It stops at a NUL, which a setup's string may
// hold ("5\u0000x"): the number must end where the whole text ends.
bool parse_real_number(const std::string& text, double* out) {
  if (text.empty() || std::isspace(static_cast<unsigned char>(text[0])))
    return false;
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || !std::isfinite(v))
    return false;
  *out = v;
  return true;
}

std::size_t read_count(std::string_view text, long long high, long long* out) {
  const std::size_t digits = text.find_first_not_of("0123456789");
  const std::size_t n = digits == std::string_view::npos ? text.size() : digits;
  long long v = 0;
  if (n == 0 || (n > 1 && text[0] == '0') ||
      std::from_chars(text.data(), text.data() + n, v).ec != std::errc() || v > high)
    return 0;
  *out = v;
  return n;
}

std::vector<std::string> split_commas(const std::string& text) {
  std::vector<std::string> items;
  std::size_t start = 0;
  for (std::size_t comma; (comma = text.find(',', start)) != std::string::npos; start = comma + 1)
    items.push_back(text.substr(start, comma - start));
  items.push_back(text.substr(start));
  return items;
}
