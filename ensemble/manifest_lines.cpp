// SPDX-License-Identifier: MIT
#include "ensemble/manifest_lines.h"

#include <cstdint>
#include <cstdio>

namespace {

std::string escape(const std::string& text) {
  std::string out;
  for (const char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == '\\' || c == '\t' || c == '\n' || u < 0x20 || u == 0x7f) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02x", u);
      out += hex;
    } else {
      out += c;
    }
  }
  return out;
}

bool unescape(const std::string& text, std::string* out) {
  out->clear();
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char u = static_cast<unsigned char>(text[i]);
    if (text[i] != '\\' && (u < 0x20 || u == 0x7f))
      return false;
    if (text[i] != '\\') {
      *out += text[i];
      continue;
    }
    // escape() leaves no other escape in a manifest: the option checks refuse control
    // characters in an ensemble's arguments, so only a backslash is ever escaped.
    if (text.compare(i, 4, "\\x5c") != 0)
      return false;
    *out += '\\';
    i += 3;
  }
  return true;
}

} // namespace

std::string record_line(const std::vector<std::string>& fields) {
  std::string line;
  for (size_t i = 0; i < fields.size(); ++i)
    line += (i == 0 ? "" : "\t") + escape(fields[i]);
  return line + "\n";
}

bool split_record(const std::string& line, std::vector<std::string>* fields) {
  fields->clear();
  size_t start = 0;
  while (true) {
    const size_t tab = line.find('\t', start);
    std::string field;
    if (!unescape(line.substr(start, tab - start), &field))
      return false;
    fields->push_back(field);
    if (tab == std::string::npos)
      return true;
    start = tab + 1;
  }
}

std::string manifest_digest(const std::string& text) {
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (const char c : text)
    hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
  return hex;
}
