// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <vector>

// The lines of manifest.txt: one record each, its fields separated by tabs, with backslash, tab
// and control characters escaped as "\xNN"; and the digest that its last line holds.

// A record's line, its newline included.
std::string record_line(const std::vector<std::string>& fields);

// The fields of a line without its newline. False for an escape that record_line does not write
// there or a control character, neither of which a manifest holds.
bool split_record(const std::string& line, std::vector<std::string>* fields);

// 16 hex digits (64-bit FNV-1a) of `text`: what the writer puts after the lines it wrote, so that
// a line changed, added or removed since shows, though nothing in the lines contradicts another.
std::string manifest_digest(const std::string& text);
