#include "chart/whole_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "fileio/atomic_file.h"

namespace {

const char kNotProduced[] = "The content could not be produced.";

// A link is followed, so the file it points to is replaced rather than the link itself.
std::string final_name(const std::string& path) {
  char resolved[PATH_MAX];
  struct stat st;
  if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode) && realpath(path.c_str(), resolved))
    return resolved;
  return path;
}

bool is_special(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

// The write error the system gave while filling, if there was one. errno is taken at once:
// flushing, closing or removing the file afterwards may overwrite it.
std::string fill_stream(std::FILE* file, const std::function<bool(std::FILE*)>& fill) {
  errno = 0;
  const bool filled = fill(file);
  const int err = errno;
  if (std::ferror(file))
    return std::strerror(err != 0 ? err : EIO);
  return filled ? "" : kNotProduced;
}

std::string write_in_place(const std::string& path, const std::function<bool(std::FILE*)>& fill) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file)
    return std::strerror(errno);
  std::string why = fill_stream(file, fill);
  if (why.empty() && std::fflush(file) != 0)
    why = std::strerror(errno);
  if (std::fclose(file) != 0 && why.empty())
    why = std::strerror(errno);
  return why;
}

} // namespace

std::string write_whole_file(const std::string& path, const std::function<bool(std::FILE*)>& fill) {
  const std::string name = final_name(path);
  if (is_special(name))
    return write_in_place(name, fill);
  AtomicFile file(name);
  std::string error;
  if (!file.open(&error))
    return file.reason();
  const std::string why = fill_stream(file.stream(), fill);
  if (!why.empty())
    return why; // the temporary file goes with `file`
  if (!file.commit(&error))
    return file.reason();
  return "";
}
