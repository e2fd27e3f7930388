// SPDX-License-Identifier: MIT
#include "fileio/whole_file.h"

#include <cerrno>
#include <cstring>

#include "fileio/atomic_file.h"

namespace {

// False with the write error the system gave while filling, if there was one. errno is taken at
// once: flushing, closing or removing the file afterwards may overwrite it.
bool fill_stream(std::FILE* file, const std::function<bool(std::FILE*)>& fill,
                 std::string* reason) {
  errno = 0;
  const bool filled = fill(file);
  const int err = errno;
  if (std::ferror(file))
    *reason = std::strerror(err != 0 ? err : EIO);
  else if (!filled)
    *reason = "The content could not be produced.";
  return filled && !std::ferror(file);
}

} // namespace

bool write_whole_file(const std::string& path, const std::function<bool(std::FILE*)>& fill,
                      std::string* reason) {
  AtomicFile file(path);
  std::string error;
  if (!file.open(&error)) {
    *reason = file.reason();
    return false;
  }
  if (!fill_stream(file.stream(), fill, reason))
    return false; // the temporary file goes with `file`
  if (file.commit(&error))
    return true;
  *reason = file.reason();
  return false;
}
