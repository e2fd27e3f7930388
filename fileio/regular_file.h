// SPDX-License-Identifier: MIT
#pragma once
// Reading a file that came from elsewhere: its bytes are data, never a reason to block or to
// fill the memory, so only regular files are read, and no more of each than its reader can hold.
// A FIFO, a device or a folder is refused without blocking on it; links are followed.
#include <cstddef>
#include <string>

// The reason given for a path that is there but no regular file.
extern const char kNotRegularFile[];

// Reads up to `bytes` bytes of `path` from its start into *text: fewer at its end. False with the
// reason alone in *reason, for messages worded otherwise: the system's words, or kNotRegularFile.
bool read_regular_head(const std::string& path, std::size_t bytes, std::string* text,
                       std::string* reason);

// True when `path` is a regular file that can be opened for reading. False with
// "cannot read PATH: REASON" in *error otherwise.
bool can_read_regular_file(const std::string& path, std::string* error);

// Reads the whole of `path`, a regular file of at most `cap` bytes, into *text. False with
// "cannot read PATH: REASON" in *error otherwise.
bool read_regular_file(const std::string& path, std::size_t cap, std::string* text,
                       std::string* error);

// Reads up to `bytes` bytes of `path`, a regular file, from byte `offset` into *text: fewer at
// its end. False with "cannot read PATH: REASON" in *error otherwise.
bool read_regular_range(const std::string& path, long long offset, std::size_t bytes,
                        std::string* text, std::string* error);
