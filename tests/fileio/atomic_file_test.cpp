// SPDX-License-Identifier: MIT
#include "fileio/atomic_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "tests/support/batch_process.h"

namespace fs = std::filesystem;

// Writes `text` to `path` through an AtomicFile; false on any failure.
static bool save(const std::string& path, const char* text,
                 AtomicFile::Links links = AtomicFile::Links::kFollow) {
  AtomicFile file(path, links);
  return file.open(nullptr) && std::fputs(text, file.stream()) >= 0 && file.commit(nullptr);
}

// The temporary of a name just under the file system's limit must not be too long itself. A
// killed writer's (shortened) temporary goes with the file; a mere namesake stays.
TEST(AtomicFile, LongNamesSaveAndTheirTemporariesGoWithThem) {
  const std::string dir = fresh("atomic_file", true), path = dir + "/" + std::string(250, 'n');
  ASSERT_TRUE(save(path, "whole\n"));
  EXPECT_EQ(std::tuple(fs::file_size(path), names_in(dir).size()), std::tuple(6u, 1u));
  for (const std::string& left :
       {dir + "/" + std::string(244, 'n') + ".tmp.a1B2c3", path + "x", dir + "/n.tmp.a1B2c3"})
    std::ofstream(left) << "left";
  remove_with_temporaries(path);
  EXPECT_EQ(std::tuple(names_in(dir).size(), fs::exists(path + "x")), std::tuple(2u, true));
}

// A rename would put a plain file there; a program's own file (kReplace) replaces the link.
TEST(AtomicFile, LinksAndPipesAreWrittenThroughNotReplaced) {
  const fs::path dir = fresh("atomic_links", true);
  const fs::path target = dir / "target.csv", link = dir / "link.csv", fifo = dir / "fifo",
                 own = dir / "own.csv";
  std::ofstream(target) << "old";
  fs::create_symlink(target, link);
  fs::create_symlink(target, own);
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_TRUE(save(link, "new\n") && save(fifo, "new\n") &&
              save(own, "own\n", AtomicFile::Links::kReplace));
  char piped[8] = "";
  const ssize_t got = read(reader, piped, sizeof piped);
  close(reader);
  std::string written;
  std::getline(std::ifstream(target), written);
  EXPECT_EQ(std::tuple(fs::is_symlink(link), fs::is_fifo(fifo), written, got, names_in(dir).size(),
                       fs::is_symlink(own), fs::file_size(own)),
            std::tuple(true, true, "new", 4, 4u, false, 4u));
}
