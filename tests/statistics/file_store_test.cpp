// The disk file store: whole-file reads and atomic replacement, in a temporary directory.
#include "statistics/file_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <unistd.h>

namespace plotwright {
namespace {

namespace fs = std::filesystem;

class DiskFileStoreTest : public ::testing::Test {
 protected:
  DiskFileStoreTest() {
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  ~DiskFileStoreTest() override { fs::remove_all(dir); }
  std::string path(const char* name) const { return (dir / name).string(); }
  int entries() const {
    return static_cast<int>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
  }

  const fs::path dir =
      fs::temp_directory_path() / ("plotwright-file-store-" + std::to_string(::getpid()));
  DiskFileStore store;
};

TEST_F(DiskFileStoreTest, ReplacesAFileWholeAndLeavesNoTemporaryFile) {
  const std::string file = path("story.vus");
  EXPECT_EQ(store.read_file(file), std::nullopt);
  EXPECT_EQ(store.replace_file(file, "first\nversion\n"), "");
  EXPECT_EQ(store.read_file(file), "first\nversion\n");
  EXPECT_EQ(store.replace_file(file, std::string("a\0b\r\n", 5)), "");
  EXPECT_EQ(store.read_file(file), std::string("a\0b\r\n", 5));
  EXPECT_EQ(entries(), 1);
}

TEST_F(DiskFileStoreTest, AFailedReplacementSaysWhyAndKeepsWhatWasThere) {
  EXPECT_NE(store.replace_file(path("missing/story.vus"), "x"), "");
  // A directory cannot be replaced by a file: the directory stays, no temporary file remains.
  const std::string occupied = path("occupied.vus");
  fs::create_directory(occupied);
  const std::string reason = store.replace_file(occupied, "x");
  EXPECT_NE(reason.find("occupied.vus"), std::string::npos) << reason;
  EXPECT_TRUE(fs::is_directory(occupied));
  EXPECT_EQ(entries(), 1);
  EXPECT_EQ(store.read_file(occupied), std::nullopt);
}

}  // namespace
}  // namespace plotwright
