// SPDX-License-Identifier: MIT
#include "text/quoted_text.h"

#include <cstdio>

namespace {

const char* const kEllipsis = "\xe2\x80\xa6"; // "…" in UTF-8

// The length of the UTF-8 sequence that starts at `at`, with its code point in *code; 0 when the
// byte there starts none (a stray or cut-short sequence, an overlong form, a surrogate or a code
// point beyond U+10FFFF), as in a file of another encoding.
std::size_t sequence_length(std::string_view s, std::size_t at, char32_t* code) {
  const auto lead = static_cast<unsigned char>(s[at]);
  if (lead < 0x80) {
    *code = lead;
    return 1;
  }
  // The lead byte's high bits give the length, its low bits the code point's first bits.
  const std::size_t n = (lead & 0xe0) == 0xc0   ? 2
                        : (lead & 0xf0) == 0xe0 ? 3
                        : (lead & 0xf8) == 0xf0 ? 4
                                                : 0;
  if (n == 0 || at + n > s.size())
    return 0;
  char32_t c = lead & (0x7f >> n);
  for (std::size_t i = 1; i < n; ++i) {
    const auto next = static_cast<unsigned char>(s[at + i]);
    if ((next & 0xc0) != 0x80)
      return 0;
    c = c << 6 | (next & 0x3f);
  }
  const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000}; // below it, an overlong form
  if (c < least[n] || c > 0x10ffff || (c >= 0xd800 && c <= 0xdfff))
    return 0;
  *code = c;
  return n;
}

// What a terminal or an alert would obey rather than show: C0, DEL and C1 move the cursor, ring
// or start escape sequences; the separators break the line; the bidirectional controls reorder
// the text around them, so that the quote would read as something it is not.
bool is_control(char32_t c) {
  return c < 0x20 || (c >= 0x7f && c <= 0x9f) || (c >= 0x2028 && c <= 0x202e) ||
         (c >= 0x2066 && c <= 0x2069) || c == 0x200e || c == 0x200f;
}

// The familiar escapes for the three that text files hold, else the code's hex value.
std::string escape(char32_t c) {
  if (c == '\n')
    return "\\n";
  if (c == '\r')
    return "\\r";
  if (c == '\t')
    return "\\t";
  char text[8];
  std::snprintf(text, sizeof text, c < 0x80 ? "\\x%02x" : "\\u%04x", static_cast<unsigned>(c));
  return text;
}

std::string byte_escape(char byte) {
  char text[8];
  std::snprintf(text, sizeof text, "\\x%02x", static_cast<unsigned char>(byte));
  return text;
}

} // namespace

std::string quoted(std::string_view text, std::size_t most) {
  std::string out;
  std::size_t width = 0; // characters shown so far
  for (std::size_t at = 0; at < text.size();) {
    char32_t code = 0;
    const std::size_t n = sequence_length(text, at, &code);
    const bool plain = n > 0 && !is_control(code);
    const std::string piece = plain   ? std::string(text.substr(at, n))
                              : n > 0 ? escape(code)
                                      : byte_escape(text[at]);
    const std::size_t piece_width = plain ? 1 : piece.size();
    if (width + piece_width > most)
      return out + kEllipsis; // never half an escape or half a character
    out += piece;
    width += piece_width;
    at += n > 0 ? n : 1;
  }
  return out;
}
