// SPDX-License-Identifier: MIT
#include "ensemble/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

std::string cannot_read(const std::string& path, const std::string& why) {
  return "cannot read " + path + ": " + why;
}

} // namespace

int open_regular_file(const std::string& path, std::string* error) {
  // O_NONBLOCK: opening a FIFO would otherwise wait for a writer that may never come.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    *error = cannot_read(path, std::strerror(errno));
    return -1;
  }
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const int err = errno;
    *error = cannot_read(path, S_ISREG(st.st_mode) || st.st_mode == 0 ? std::strerror(err)
                                                                      : "not a regular file");
    close(fd);
    return -1;
  }
  const int flags = fcntl(fd, F_GETFL);
  if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    *error = cannot_read(path, std::strerror(errno));
    close(fd);
    return -1;
  }
  return fd;
}

namespace {

// Reads up to `bytes` bytes of the open file from byte `offset` into *text: fewer at its end.
bool read_at(int fd, const std::string& path, long long offset, std::size_t bytes,
             std::string* text, std::string* error) {
  text->clear();
  char chunk[65536];
  while (text->size() < bytes) {
    const std::size_t want = std::min(sizeof chunk, bytes - text->size());
    const ssize_t n = pread(fd, chunk, want, static_cast<off_t>(offset + text->size()));
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0) {
      *error = cannot_read(path, std::strerror(errno));
      close(fd);
      return false;
    }
    if (n == 0)
      break;
    text->append(chunk, static_cast<std::size_t>(n));
  }
  close(fd);
  return true;
}

} // namespace

bool read_regular_file(const std::string& path, std::size_t cap, std::string* text,
                       std::string* error) {
  const int fd = open_regular_file(path, error);
  // Reading past the cap by one byte tells a file that is too large from one that just fits.
  if (fd < 0 || !read_at(fd, path, 0, cap + 1, text, error))
    return false;
  if (text->size() > cap) {
    *error = cannot_read(path, "larger than the " + std::to_string(cap) + " bytes it can hold");
    return false;
  }
  return true;
}

bool read_regular_range(const std::string& path, long long offset, std::size_t bytes,
                        std::string* text, std::string* error) {
  const int fd = open_regular_file(path, error);
  return fd >= 0 && read_at(fd, path, offset, bytes, text, error);
}
