// SPDX-License-Identifier: MIT
#pragma once
// Reading a folder that came from elsewhere: its files are data, never a reason to block or to
// fill the memory, so only regular files are read, and no more of each than its kind can hold.
#include <cstddef>
#include <string>

// Opens `path` for reading when, links followed, it is a regular file; a FIFO, a device or a
// folder is refused without blocking on it. Returns the descriptor (close-on-exec), or -1 with
// "cannot read PATH: REASON" in *error.
int open_regular_file(const std::string& path, std::string* error);

// Reads the whole of `path`, a regular file of at most `cap` bytes, into *text. False with
// "cannot read PATH: REASON" in *error otherwise.
bool read_regular_file(const std::string& path, std::size_t cap, std::string* text,
                       std::string* error);

// Reads up to `bytes` bytes of `path`, a regular file, from byte `offset` into *text: fewer at
// its end. False with "cannot read PATH: REASON" in *error otherwise.
bool read_regular_range(const std::string& path, long long offset, std::size_t bytes,
                        std::string* text, std::string* error);
