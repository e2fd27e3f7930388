// SPDX-License-Identifier: MIT
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The numbers and lists every reader of the programs' input takes, options, setups, manifests and
// run files alike: the whole text or nothing, never a space, a '+' or what follows a NUL.

// An optional '-' then digits only, from low to high.
bool parse_whole_number(const std::string& text, long long low, long long high, long long* out);

// A finite decimal as strtod reads it, without leading spaces.
bool parse_real_number(const std::string& text, double* out);

// A count as printf's %d or %lld writes it, at the start of `text`: digits, no sign, no leading
// zero but in "0", at most `high`. Returns the bytes it took, or 0 when `text` does not start with
// one; what follows it is the caller's.
std::size_t read_count(std::string_view text, long long high, long long* out);

// "A,B,C" as its items, empty ones included; "" is one empty item.
std::vector<std::string> split_commas(const std::string& text);
