// The disk file store at its edges: paths near and past the system's limit, and the temporary
// files that killed programs leave behind.
#include "platform/disk_file_store.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace plotwright {
namespace {

class DiskFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/plotwright-disk-XXXXXX";
    ASSERT_NE(::mkdtemp(name), nullptr);
    root_ = name;
  }
  void TearDown() override { std::filesystem::remove_all(root_); }

  // A folder inside the temporary one whose path is about `length` bytes long.
  std::string deep_folder(std::size_t length) {
    std::string path = root_;
    while (path.size() + 201 < length) {
      path += "/" + std::string(200, 'd');
      std::filesystem::create_directory(path);
    }
    return path;
  }
  // Replaces the file at `path` with `content`; the error, or "" on success.
  std::string replace(const std::string& path, const std::string& content) {
    std::string error;
    const bool done = disk_.update_file(
        path, 100, [&](std::string_view) { return content; }, &error);
    return done ? "" : error;
  }

  std::string root_;
  platform::DiskFileStore disk_;
};

TEST_F(DiskFolder, APathOf4000BytesIsWrittenAndOnePastTheSystemLimitIsAReportedFailure) {
  const std::string near = deep_folder(3990) + "/story.vus";
  ASSERT_GE(near.size(), 3800u);
  EXPECT_EQ(replace(near, "records\n"), "");
  std::string written;
  EXPECT_TRUE(disk_.read_file(near, 100, written, nullptr));
  EXPECT_EQ(written, "records\n");
  const std::string beyond =
      deep_folder(4000) + "/" + std::string(200, 's') + "/" + std::string(200, 's') + "/story.vus";
  EXPECT_NE(replace(beyond, "records\n"), "");
  std::string error;
  EXPECT_FALSE(disk_.read_file(beyond, 100, written, &error));
  EXPECT_NE(error.find("File name too long"), std::string::npos);
}

TEST_F(DiskFolder, ASaveRemovesTheTemporaryFilesOfProgramsThatWereKilled) {
  const pid_t ended = ::fork();
  if (ended == 0) ::_exit(0);
  ASSERT_GT(ended, 0);
  ::waitpid(ended, nullptr, 0);
  const std::string temporary = root_ + "/.plotwright.";
  const std::string killed = temporary + std::to_string(ended) + ".a1b2c3";
  const std::string running = temporary + std::to_string(::getppid()) + ".a1b2c3";
  const std::string not_temporary[] = {temporary + "12x", temporary, temporary + "-1.a",
                                       temporary + std::to_string(ended),
                                       root_ + "/other.vus.tmp." + std::to_string(ended)};
  for (const std::string& name : {killed, running}) std::fclose(std::fopen(name.c_str(), "w"));
  for (const std::string& name : not_temporary) std::fclose(std::fopen(name.c_str(), "w"));
  ASSERT_EQ(replace(root_ + "/story.vus", "records\n"), "");
  EXPECT_FALSE(std::filesystem::exists(killed));
  EXPECT_TRUE(std::filesystem::exists(running));
  for (const std::string& name : not_temporary) EXPECT_TRUE(std::filesystem::exists(name)) << name;
}

}  // namespace
}  // namespace plotwright
