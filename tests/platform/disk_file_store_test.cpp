// The disk file store at its edges: paths near and past the system's limit, and the temporary
// files that killed programs leave behind.
#include "platform/disk_file_store.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

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

// A process number that no process has any more.
pid_t ended_process() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
}

TEST_F(DiskFolder, ASaveRemovesTheTemporaryFilesOfProgramsThatWereKilled) {
  // Several of each, so that whatever order the folder lists them in, some file of a running
  // program comes after one of a killed program.
  const std::string temporary = root_ + "/.plotwright.";
  std::vector<std::string> killed;
  for (int i = 0; i < 6; ++i) killed.push_back(temporary + std::to_string(ended_process()) + ".a1");
  // Files of running programs, and names that are no temporary file of a killed one.
  const std::string pid = std::to_string(::getpid());
  const std::string dead = std::to_string(ended_process());
  const std::vector<std::string> kept = {temporary + std::to_string(::getppid()) + ".a1",
                                         temporary + pid + ".a1",
                                         temporary + pid + ".b2",
                                         temporary + "12x",
                                         temporary,
                                         temporary + "-1.a",
                                         temporary + dead,
                                         root_ + "/other.vus.tmp." + dead};
  for (const std::string& name : killed) std::fclose(std::fopen(name.c_str(), "w"));
  for (const std::string& name : kept) std::fclose(std::fopen(name.c_str(), "w"));
  ASSERT_EQ(replace(root_ + "/story.vus", "records\n"), "");
  for (const std::string& name : killed) EXPECT_FALSE(std::filesystem::exists(name)) << name;
  for (const std::string& name : kept) EXPECT_TRUE(std::filesystem::exists(name)) << name;
}

TEST_F(DiskFolder, ALockHeldElsewhereIsToldBeforeTheWaitAndTheUpdateGivesUpAfterIt) {
  const std::string path = root_ + "/story.vus";
  ASSERT_EQ(replace(path, "old\n"), "");
  const int holder = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
  std::vector<std::string> told;
  platform::DiskFileStore impatient([&](const std::string& busy) { told.push_back(busy); },
                                    std::chrono::milliseconds(0));
  std::string error;
  EXPECT_FALSE(impatient.update_file(
      path, 100,
      [&](std::string_view) {
        ADD_FAILURE() << "updated under another's lock";
        return std::string("new\n");
      },
      &error));
  EXPECT_EQ(told, std::vector<std::string>{path});
  EXPECT_EQ(error, path + ": stayed locked by another program; this run's counts were not saved");
  ::close(holder);  // the lock goes with it: the next update is told nothing
  EXPECT_TRUE(impatient.update_file(
      path, 100, [](std::string_view) { return "new\n"; }, &error));
  EXPECT_EQ(told.size(), 1u);
  std::string content;
  EXPECT_TRUE(impatient.read_file(path, 100, content, nullptr));
  EXPECT_EQ(content, "new\n");
}

}  // namespace
}  // namespace plotwright
