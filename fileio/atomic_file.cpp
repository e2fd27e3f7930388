// SPDX-License-Identifier: MIT
#include "fileio/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "text/quoted_text.h"

namespace {

// PATH.tmp.XXXXXX beside PATH; a long file name is shortened first so that the temporary one
// stays within the file system's 255-byte limit for a name.
std::string temporary_template(const std::string& path) {
  constexpr size_t kLongestBase = 255 - std::char_traits<char>::length(".tmp.XXXXXX");
  const size_t slash = path.rfind('/');
  const size_t base_start = slash == std::string::npos ? 0 : slash + 1;
  std::string name = path;
  if (name.size() - base_start > kLongestBase)
    name.resize(base_start + kLongestBase);
  return name + ".tmp.XXXXXX";
}

// A link is followed, so the file it points to is replaced rather than the link itself.
std::string final_name(const std::string& path) {
  char resolved[PATH_MAX];
  struct stat st;
  if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode) && realpath(path.c_str(), resolved))
    return resolved;
  return path;
}

bool is_device_or_pipe(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

} // namespace

bool follow_umask(int fd, mode_t mode) {
  const mode_t mask = umask(0);
  umask(mask);
  return fchmod(fd, mode & ~mask) == 0;
}

std::string write_error(const std::string& path, int err) {
  return "cannot write " + quoted(path, kWholePath) + ": " + std::strerror(err);
}

AtomicFile::AtomicFile(std::string path, Links links) : path_(std::move(path)), links_(links) {}

AtomicFile::~AtomicFile() {
  discard();
}

bool AtomicFile::open(std::string* error) {
  discard();
  target_ = links_ == Links::kFollow ? final_name(path_) : path_;
  if (links_ == Links::kFollow && is_device_or_pipe(target_)) {
    file_ = std::fopen(target_.c_str(), "wb");
    return file_ != nullptr || fail(error, errno);
  }
  const std::string name = temporary_template(target_);
  std::vector<char> buf(name.begin(), name.end());
  buf.push_back('\0');
  // Close-on-exec: a child the program starts meanwhile has no business holding the file.
  const int fd = mkostemp(buf.data(), O_CLOEXEC);
  if (fd < 0)
    return fail(error, errno);
  temp_ = buf.data();
  // mkstemp makes the file 0600; a finished file gets the permissions fopen would have given it.
  if (follow_umask(fd, 0666))
    file_ = fdopen(fd, "w");
  if (file_ == nullptr) {
    const int err = errno;
    close(fd);
    return fail(error, err);
  }
  return true;
}

bool AtomicFile::commit(std::string* error) {
  if (file_ == nullptr)
    return fail(error, EBADF);
  // A write error may have been met long before; flushing again brings its reason back.
  errno = 0;
  const bool flushed = std::fflush(file_) == 0 && !std::ferror(file_);
  const int flush_err = flushed ? 0 : (errno != 0 ? errno : EIO);
  const int closed = std::fclose(file_);
  const int close_err = errno;
  file_ = nullptr;
  if (!flushed)
    return fail(error, flush_err);
  if (closed != 0)
    return fail(error, close_err);
  if (!temp_.empty() && std::rename(temp_.c_str(), target_.c_str()) != 0)
    return fail(error, errno);
  temp_.clear();
  return true;
}

void AtomicFile::discard() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  if (!temp_.empty()) {
    std::remove(temp_.c_str());
    temp_.clear();
  }
}

bool AtomicFile::fail(std::string* error, int err) {
  discard();
  reason_ = std::strerror(err);
  if (error != nullptr)
    *error = write_error(path_, err);
  return false;
}

void remove_with_temporaries(const std::string& path) {
  unlink(path.c_str());
  std::string pattern = temporary_template(path);
  const size_t slash = pattern.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : pattern.substr(0, slash);
  pattern.erase(0, slash == std::string::npos ? 0 : slash + 1);
  const size_t stem = pattern.size() - std::char_traits<char>::length("XXXXXX");
  std::vector<std::string> doomed;
  if (DIR* d = opendir(dir.c_str())) {
    while (const dirent* e = readdir(d)) {
      const std::string name = e->d_name;
      if (name.size() == pattern.size() && name.compare(0, stem, pattern, 0, stem) == 0)
        doomed.push_back(dir + "/" + name);
    }
    closedir(d);
  }
  for (const std::string& temp : doomed)
    unlink(temp.c_str());
}
