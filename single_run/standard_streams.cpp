// SPDX-License-Identifier: MIT
#include "single_run/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "text/quoted_text.h"

bool claim_standard_streams() {
  bool stdout_open = true;
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1)
      continue;
    if (fd == 1)
      stdout_open = false;
    // A standard stream, which is why this file is opened outside fileio/: open() returns the
    // lowest free number, which is this one.
    open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
  }
  return stdout_open;
}

bool finish_standard_output(std::string* error) {
  errno = 0;
  if (std::fflush(stdout) == 0 && !std::ferror(stdout))
    return true;
  *error = std::string("cannot write standard output: ") + std::strerror(errno != 0 ? errno : EIO);
  return false;
}

// The message as a whole is not cut: what it quotes was cut where it was quoted. Escaping text
// that is escaped already changes nothing, a backslash staying as it is.
void report_error(const std::string& message) {
  std::fprintf(stderr, "epidemic_batch: %s\n", quoted(message, std::string::npos).c_str());
}
