// SPDX-License-Identifier: MIT
#include "fileio/folder_claim.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

const char* const kClaimFile = ".epidemic_batch.lock";

} // namespace

FolderClaim::~FolderClaim() {
  if (fd_ >= 0)
    close(fd_);
}

bool FolderClaim::take(const std::string& dir, std::string* error) {
  const std::string path = dir + "/" + kClaimFile;
  fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
  struct stat st {};
  if (fd_ >= 0 && fstat(fd_, &st) == 0 && !S_ISREG(st.st_mode))
    errno = EINVAL;
  if (fd_ >= 0 && S_ISREG(st.st_mode) && flock(fd_, LOCK_EX | LOCK_NB) == 0)
    return true;
  *error = errno == EWOULDBLOCK ? dir + " is in use by another ensemble or merge"
                                : "cannot claim " + path + ": " + std::strerror(errno);
  return false;
}

bool folder_is_empty(const std::string& dir, bool* empty, std::string* error) {
  DIR* d = opendir(dir.c_str());
  if (d == nullptr) {
    *error = "cannot use " + dir + ": " + std::strerror(errno);
    return false;
  }
  *empty = true;
  while (const dirent* e = readdir(d)) {
    const std::string name = e->d_name;
    *empty = *empty && (name == "." || name == ".." || name == kClaimFile);
  }
  closedir(d);
  return true;
}
