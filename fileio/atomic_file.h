// SPDX-License-Identifier: MIT
#pragma once
#include <sys/types.h>

#include <cstdio>
#include <string>

// A file that appears under its name only when it is whole: it is written under a temporary name
// in the same folder (so the rename cannot cross file systems) and renamed by commit(). Whatever
// was not committed is removed when the object goes, so a failed or abandoned write leaves
// nothing behind, and an older file under the final name stays as it was.
//
// A path the user names follows links: the file a symbolic link points to is replaced and the
// link stays, and a device or a pipe (/dev/stdout, a FIFO) is written in place, since a rename
// would replace the node itself. A program's own file in a folder it was handed is data there,
// never a way out of it: Links::kReplace puts the file in place of whatever stands at its name.
class AtomicFile {
public:
  enum class Links { kFollow, kReplace };
  explicit AtomicFile(std::string path, Links links = Links::kFollow);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Creates the temporary file. On failure *error says "cannot write PATH: REASON".
  bool open(std::string* error);
  std::FILE* stream() const { return file_; }
  const std::string& path() const { return path_; }

  // Flushes, closes and renames. On failure the temporary file is removed and *error says
  // "cannot write PATH: REASON"; nothing appears under the final name.
  bool commit(std::string* error);
  // Drops what was written.
  void discard();
  // The system's reason for the last failure (strerror), for messages worded otherwise.
  const std::string& reason() const { return reason_; }

private:
  bool fail(std::string* error, int err);

  std::string path_;
  Links links_;
  std::string target_; // path_ with links followed; what the rename replaces
  std::string temp_;   // empty while writing in place
  std::FILE* file_ = nullptr;
  std::string reason_;
};

// Gives the file or folder open at `fd` the permissions `mode` less the process's umask, as open
// and mkdir would have, for one that mkstemp or mkdtemp made private.
bool follow_umask(int fd, mode_t mode);

// Removes the file at `path` and whatever temporary files an AtomicFile writing it left behind,
// as one killed before it could clean up does.
void remove_with_temporaries(const std::string& path);

// "cannot write PATH: REASON", the one wording of every failed write.
std::string write_error(const std::string& path, int err);
