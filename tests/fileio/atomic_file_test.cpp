#include "fileio/atomic_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
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
}
