// SPDX-License-Identifier: MIT
#include "fileio/file_set.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

FileSet::FileSet(std::string dir, std::vector<std::string> names)
    : dir_(std::move(dir)), names_(std::move(names)) {}

FileSet::~FileSet() {
  discard();
}

bool FileSet::open(std::string* error) {
  discard();
  // unlink removes a link, not what it points to; a folder standing at a name is refused here,
  // before any work, since no rename could replace it at the end.
  for (const std::string& name : names_)
    if (unlink((dir_ + "/" + name).c_str()) != 0 && errno != ENOENT)
      return fail(dir_ + "/" + name, std::strerror(errno), error);
  std::string folder = dir_ + "/outputs.tmp.XXXXXX";
  if (mkdtemp(folder.data()) == nullptr)
    return fail(dir_, std::strerror(errno), error);
  folder_ = folder;
  // mkdtemp makes the folder private; on a shared DIR anyone who may clean DIR may clean it.
  const int fd = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  const bool shared = fd >= 0 && follow_umask(fd, 0777);
  const int err = errno;
  if (fd >= 0)
    close(fd);
  return shared || fail(folder_, std::strerror(err), error);
}

std::FILE* FileSet::write(const std::string& name, std::string* error) {
  open_.push_back(std::make_unique<AtomicFile>(folder_ + "/" + name, AtomicFile::Links::kReplace));
  if (open_.back()->open(nullptr))
    return open_.back()->stream();
  fail(dir_ + "/" + name, open_.back()->reason(), error);
  return nullptr;
}

bool FileSet::close_all(std::string* error) {
  for (const std::unique_ptr<AtomicFile>& file : open_)
    if (file->stream() != nullptr && !file->commit(nullptr)) {
      const std::string& path = file->path();
      return fail(dir_ + path.substr(path.rfind('/')), file->reason(), error);
    }
  return true;
}

// POSIX renames one name at a time, so no reader can see the whole set change at once. The
// names were cleared by open(), and the caller lists its summary last: whoever finds that
// last name finds every other member already whole beside it. A move that fails takes back
// those made before it.
bool FileSet::commit(std::string* error) {
  if (folder_.empty())
    return fail(dir_, std::strerror(EBADF), error);
  if (!close_all(error))
    return false;
  for (size_t i = 0; i < names_.size(); ++i) {
    const std::string to = dir_ + "/" + names_[i];
    if (std::rename((folder_ + "/" + names_[i]).c_str(), to.c_str()) != 0) {
      const int err = errno;
      for (size_t j = 0; j < i; ++j)
        unlink((dir_ + "/" + names_[j]).c_str());
      return fail(to, std::strerror(err), error);
    }
  }
  discard();
  return true;
}

void FileSet::discard() {
  open_.clear(); // each unfinished member removes its temporary file
  if (folder_.empty())
    return;
  std::vector<std::string> left; // whatever a program wrote there besides the members
  if (DIR* d = opendir(folder_.c_str())) {
    while (const dirent* e = readdir(d))
      if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
        left.push_back(folder_ + "/" + e->d_name);
    closedir(d);
  }
  for (const std::string& path : left)
    unlink(path.c_str());
  rmdir(folder_.c_str());
  folder_.clear();
}

// Copies: `path` or `reason` may belong to what discard() drops.
bool FileSet::fail(std::string path, std::string reason, std::string* error) {
  discard();
  if (error != nullptr)
    *error = "cannot write " + path + ": " + reason;
  return false;
}
