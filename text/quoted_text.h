// SPDX-License-Identifier: MIT
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// A message that quotes a key, a value, a path or an argument prints what it quotes through
// quoted(), so that both programs tell a fault on one line, in the same words, whatever bytes the
// quote held: a terminal obeys no control code from it, and an alert stays narrow.

// The most characters a quote shows; an escape counts as the characters it is written with.
constexpr std::size_t kMostQuoted = 80;
// A path is quoted whole, escaped but never cut: it names the file the user chose, and the
// system bounds its length.
constexpr std::size_t kWholePath = std::string_view::npos;

// `text` with every control character written as a visible escape (C0 and DEL as "\n", "\r",
// "\t" or "\x1b"; C1, the line and paragraph separators and the bidirectional controls of UTF-8
// as "\u0085"), each byte that is not part of valid UTF-8 as "\xff", and the rest as it is; cut
// after `most` characters, and then ended with "…". A backslash stays as it is, so that a path
// reads as typed.
std::string quoted(std::string_view text, std::size_t most = kMostQuoted);
