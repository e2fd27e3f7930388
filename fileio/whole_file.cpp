// SPDX-License-Identifier: MIT
#include "fileio/whole_file.h"

#include <cerrno>
#include <cstring>

#include "fileio/atomic_file.h"

namespace {

// The write error the system gave while filling, if there was one. errno is taken at once:
// flushing, closing or removing the file afterwards may overwrite it.
std::string fill_stream(std::FILE* file, const std::function<bool(std::FILE*)>& fill) {
  errno = 0;
  const bool filled = fill(file);
  const int err = errno;
  if (std::ferror(file))
    return std::strerror(err != 0 ? err : EIO);
  return filled ? "" : "The content could not be produced.";
}

} // namespace

std::string write_whole_file(const std::string& path, const std::function<bool(std::FILE*)>& fill) {
  AtomicFile file(path);
  std::string error;
  if (!file.open(&error))
    return file.reason();
  const std::string why = fill_stream(file.stream(), fill);
  if (!why.empty())
    return why; // the temporary file goes with `file`
  return file.commit(&error) ? "" : file.reason();
}
