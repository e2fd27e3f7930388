// SPDX-License-Identifier: MIT
#include "fileio/atomic_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "tests/support/batch_process.h"

namespace fs = std::filesystem;

// The temporary of a name just under the file system's limit must not be too long itself.
TEST(AtomicFile, LongNamesSaveAndDroppedWritesLeaveNothing) {
  const std::string dir = fresh("atomic_file", true), path = dir + "/" + std::string(250, 'n');
  const auto entries = [&dir] { return names_in(dir).size(); };
  AtomicFile file(path);
  std::string error;
  ASSERT_TRUE(file.open(&error)) << error;
  std::fputs("whole\n", file.stream());
  ASSERT_TRUE(file.commit(&error)) << error;
  EXPECT_EQ(std::tuple(fs::file_size(path), entries()), std::tuple(6u, 1u));
  {
    AtomicFile dropped(dir + "/dropped.csv");
    ASSERT_TRUE(dropped.open(&error));
    std::fputs("half", dropped.stream());
  }
  EXPECT_EQ(entries(), 1u);
  // A killed writer's (shortened) temporary goes with the file; a mere namesake stays.
  for (const std::string& left :
       {path, dir + "/" + std::string(244, 'n') + ".tmp.a1B2c3", path + "x", dir + "/n.tmp.a1B2c3"})
    std::ofstream(left) << "left";
  remove_with_temporaries(path);
  EXPECT_EQ(std::tuple(entries(), fs::exists(path + "x")), std::tuple(2u, true));
}

// A rename would put a plain file there; a program's own file (kReplace) replaces the link.
TEST(AtomicFile, LinksAndPipesAreWrittenThroughNotReplaced) {
  const fs::path dir = fresh("atomic_links", true);
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
  EXPECT_EQ(std::tuple(fs::is_symlink(link), fs::is_fifo(fifo), written, got, names_in(dir).size(),
                       fs::is_symlink(own), fs::file_size(own)),
            std::tuple(true, true, "new", 4, 4u, false, 4u));
}
