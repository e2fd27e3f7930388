// SPDX-License-Identifier: MIT
#include "fileio/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

const char kNotRegularFile[] = "not a regular file";

namespace {

std::string cannot_read(const std::string& path, const std::string& reason) {
  return "cannot read " + path + ": " + reason;
}

// Returns the descriptor (close-on-exec), or -1 with the reason alone in *reason.
int open_regular(const std::string& path, std::string* reason) {
  // O_NONBLOCK: opening a FIFO would otherwise wait for a writer that may never come.
  // O_NOCTTY: a terminal refused here must not become the process's controlling one.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    *reason = std::strerror(errno);
    return -1;
  }
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const int err = errno;
    *reason = S_ISREG(st.st_mode) || st.st_mode == 0 ? std::strerror(err) : kNotRegularFile;
    close(fd);
    return -1;
  }
  const int flags = fcntl(fd, F_GETFL);
  if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    *reason = std::strerror(errno);
    close(fd);
    return -1;
  }
  return fd;
}

// Reads up to `bytes` bytes of the open file from byte `offset` into *text, then closes it.
bool read_at(int fd, long long offset, std::size_t bytes, std::string* text, std::string* reason) {
  text->clear();
  char chunk[65536];
  bool ok = true;
  while (ok && text->size() < bytes) {
    const std::size_t want = std::min(sizeof chunk, bytes - text->size());
    const ssize_t n = pread(fd, chunk, want, static_cast<off_t>(offset + text->size()));
    if (n < 0 && errno == EINTR)
      continue;
    if (n == 0)
      break;
    ok = n > 0;
    if (ok)
      text->append(chunk, static_cast<std::size_t>(n));
    else
      *reason = std::strerror(errno);
  }
  close(fd);
  return ok;
}

bool read_part(const std::string& path, long long offset, std::size_t bytes, std::string* text,
               std::string* reason) {
  const int fd = open_regular(path, reason);
  return fd >= 0 && read_at(fd, offset, bytes, text, reason);
}

} // namespace

bool read_regular_head(const std::string& path, std::size_t bytes, std::string* text,
                       std::string* reason) {
  return read_part(path, 0, bytes, text, reason);
}

bool can_read_regular_file(const std::string& path, std::string* error) {
  std::string reason;
  const int fd = open_regular(path, &reason);
  if (fd < 0) {
    *error = cannot_read(path, reason);
    return false;
  }
  close(fd);
  return true;
}

bool read_regular_range(const std::string& path, long long offset, std::size_t bytes,
                        std::string* text, std::string* error) {
  std::string reason;
  if (read_part(path, offset, bytes, text, &reason))
    return true;
  *error = cannot_read(path, reason);
  return false;
}

bool read_regular_file(const std::string& path, std::size_t cap, std::string* text,
                       std::string* error) {
  // Reading past the cap by one byte tells a file that is too large from one that just fits.
  if (!read_regular_range(path, 0, cap + 1, text, error))
    return false;
  if (text->size() <= cap)
    return true;
  *error = cannot_read(path, "larger than the " + std::to_string(cap) + " bytes it can hold");
  return false;
}
