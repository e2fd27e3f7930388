// SPDX-License-Identifier: MIT
#pragma once
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "fileio/atomic_file.h"

// Files that appear in a folder together or not at all, such as the outputs that only make sense
// side by side. They are written under their own names in a private folder inside DIR (so that a
// program reading one of them by name, as gnuplot does, finds it), and commit() moves them out.
// Each move replaces whatever stands at the name, a symbolic link included, and never writes
// through it: the folder's content is data, not a path to follow. Whatever was not committed is
// removed when the object goes.
class FileSet {
public:
  // `names` in the order commit() moves them into `dir`.
  FileSet(std::string dir, std::vector<std::string> names);
  ~FileSet();
  FileSet(const FileSet&) = delete;
  FileSet& operator=(const FileSet&) = delete;

  // Removes what stands at the names in DIR, so that an older set never passes for this one
  // beside new files, and creates the private folder. On failure *error says why, one line.
  bool open(std::string* error);
  // Starts member `name`, written through the stream; nullptr with *error on failure.
  std::FILE* write(const std::string& name, std::string* error);
  // Where a program writes or reads members by name.
  const std::string& folder() const { return folder_; }
  // Finishes every member started with write(), so that it can be read by name in folder().
  bool close_all(std::string* error);
  // Closes, then moves every member into DIR, the last name last. On failure none stands.
  bool commit(std::string* error);
  // Drops every member and the private folder.
  void discard();

private:
  bool fail(std::string path, std::string reason, std::string* error);

  std::string dir_;
  std::vector<std::string> names_;
  std::string folder_; // empty until open()
  std::vector<std::unique_ptr<AtomicFile>> open_;
};
