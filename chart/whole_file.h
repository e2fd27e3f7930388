#pragma once
#include <cstdio>
#include <functional>
#include <string>

// Writes the file at `path` through `fill`, so that whatever the user finds under that name is
// whole: the bytes go to a temporary file in the same folder, which is renamed over the name only
// once every byte is out, and removed on any failure (an older file of that name stays as it
// was). A path that names an existing device or pipe is written in place, since a rename would
// replace the device itself. `fill` returns false when it cannot produce its content.
// Returns "" when written, otherwise the reason in the system's words.
std::string write_whole_file(const std::string& path, const std::function<bool(std::FILE*)>& fill);
