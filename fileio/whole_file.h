// SPDX-License-Identifier: MIT
#pragma once
#include <cstdio>
#include <functional>
#include <string>

// Writes the file at `path` through `fill` with an AtomicFile, so that whatever the user finds
// under that name is whole and an older file of that name stays as it was on any failure. `fill`
// returns false when it cannot produce its content.
// False with the reason alone, in the system's words, in *reason: the callers word the message.
bool write_whole_file(const std::string& path, const std::function<bool(std::FILE*)>& fill,
                      std::string* reason);
