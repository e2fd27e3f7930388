// SPDX-License-Identifier: MIT
#pragma once
#include <string>

// Holds DIR for one program at a time through an flock on DIR/.epidemic_batch.lock, until the
// object goes. A lock rather than an exclusive mkdir: the kernel drops it when its holder ends
// however it ends, so a crash never leaves DIR claimed for good and no one needs a way around it;
// and a holder that creates nothing else in DIR claims it the same way. The file is never
// unlinked (a second holder could then lock a new file while the first still holds the old one),
// never opened through a link, and must be a plain file.
class FolderClaim {
public:
  FolderClaim() = default;
  FolderClaim(const FolderClaim&) = delete;
  FolderClaim& operator=(const FolderClaim&) = delete;
  ~FolderClaim();

  // Claims DIR; one that another holder claims is refused at once. False with a one-line message
  // in *error.
  bool take(const std::string& dir, std::string* error);

private:
  int fd_ = -1;
};

// Sets *empty to whether DIR holds nothing but, maybe, the claim's file. False with
// "cannot use DIR: REASON" in *error when DIR cannot be read.
bool folder_is_empty(const std::string& dir, bool* empty, std::string* error);
