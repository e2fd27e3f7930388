// SPDX-License-Identifier: MIT
#include "fileio/atomic_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

// A name just under the file system's limit still saves: the temporary name must not be the
// one that is too long. A write that is dropped leaves the folder as it was.
TEST(AtomicFile, LongNamesSaveAndDroppedWritesLeaveNothing) {
  const fs::path dir = fs::path(TEST_BINARY_DIR) / "atomic_file";
  const auto entries = [&dir] { return std::distance(fs::directory_iterator(dir), {}); };
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string path = (dir / std::string(250, 'n')).string();
  AtomicFile file(path);
  std::string error;
  ASSERT_TRUE(file.open(&error)) << error;
  std::fputs("whole\n", file.stream());
  ASSERT_TRUE(file.commit(&error)) << error;
  EXPECT_EQ(std::tuple(fs::file_size(path), entries()), std::tuple(6u, 1));
  {
    AtomicFile dropped((dir / "dropped.csv").string());
    ASSERT_TRUE(dropped.open(&error));
    std::fputs("half", dropped.stream());
  }
  EXPECT_EQ(entries(), 1);
  // What a writer killed midway leaves (here of the long name, whose temporary is shortened) goes
  // with the file; a neighbour whose name merely starts the same stays.
  for (const std::string& left : {path, (dir / std::string(244, 'n')).string() + ".tmp.a1B2c3",
                                  path + "x", (dir / "n.tmp.a1B2c3").string()})
    std::ofstream(left) << "left";
  remove_with_temporaries(path);
  EXPECT_EQ(std::tuple(entries(), fs::exists(path + "x")), std::tuple(2, true));
}

// A rename would put a plain file where the link or the pipe was (or, as root, where /dev/stdout
// was): a link is followed and its file replaced, a pipe is written in place. A program's own
// file (Links::kReplace) replaces the link and leaves its target alone.
TEST(AtomicFile, LinksAndPipesAreWrittenThroughNotReplaced) {
  const fs::path dir = fs::path(TEST_BINARY_DIR) / "atomic_special";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const fs::path target = dir / "target.csv", link = dir / "link.csv", fifo = dir / "fifo";
  std::ofstream(target) << "old";
  fs::create_symlink(target, link);
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  for (const fs::path& path : {link, fifo}) {
    AtomicFile file(path.string());
    std::string error;
    ASSERT_TRUE(file.open(&error)) << error;
    std::fputs("new\n", file.stream());
    ASSERT_TRUE(file.commit(&error)) << error;
  }
  const fs::path own = dir / "own.csv";
  fs::create_symlink(target, own);
  AtomicFile replacing(own.string(), AtomicFile::Links::kReplace);
  ASSERT_TRUE(replacing.open(nullptr) && std::fputs("own\n", replacing.stream()) >= 0 &&
              replacing.commit(nullptr));
  char piped[8] = "";
  const ssize_t got = read(reader, piped, sizeof piped);
  close(reader);
  std::string written;
  std::getline(std::ifstream(target), written);
  EXPECT_EQ(std::tuple(fs::is_symlink(link), fs::is_fifo(fifo), written, got,
                       std::distance(fs::directory_iterator(dir), {}), fs::is_symlink(own),
                       fs::file_size(own)),
            std::tuple(true, true, "new", 4, 4, false, 4u));
}
