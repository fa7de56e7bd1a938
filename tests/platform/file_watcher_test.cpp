// Following a file as editors save it, and Ctrl+C while waiting: on the real disk, with the
// changes made from a second thread while the watcher waits. Saves in place, renamed over the
// file and the folder removed are followed end to end by tests/cli/watch.sh.
#include "platform/file_watcher.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

namespace plotwright::platform {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

constexpr int kQuiet = 150;

class FileWatcherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::alarm(120);  // a wait that never ends kills the test program instead of hanging it
    folder = fs::temp_directory_path() / ("plotwright-watch-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    file = folder / "story.vell";
    write(file, "title A\n");
    std::string error;
    watcher = watch_file(file.string(), kQuiet, &error);
    ASSERT_TRUE(watcher) << error;
  }
  void TearDown() override {
    if (changes.joinable()) changes.join();
    watcher.reset();
    fs::remove_all(folder);
    ::alarm(0);
  }

  static void write(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }
  // Runs `change` on another thread after a moment, while the test waits.
  void later(std::function<void()> change) {
    changes = std::thread([change] {
      std::this_thread::sleep_for(milliseconds(50));
      change();
    });
  }

  fs::path folder;
  fs::path file;
  std::unique_ptr<FileWatcher> watcher;
  std::thread changes;
};

// The burst is written before the wait begins, so every save is already there to be seen
// however the machine schedules the test: the wait takes them as one change, and ends only
// after the quiet time.
TEST_F(FileWatcherTest, TakesABurstOfSavesAsOneChange) {
  for (int i = 0; i < 5; ++i) write(file, "title " + std::to_string(i) + "\n");
  const auto begin = std::chrono::steady_clock::now();
  EXPECT_EQ(watcher->wait(nullptr), WatchEvent::CHANGED);
  EXPECT_GE(std::chrono::steady_clock::now() - begin, milliseconds(kQuiet));
}

// Only a stop ends this wait: a watcher that took the statistics file for the scenario would
// report a change before the stop request comes, however late that is.
TEST_F(FileWatcherTest, IgnoresOtherFilesOfTheFolder) {
  later([this] {
    write(folder / "story.vus", "statistics");
    std::this_thread::sleep_for(milliseconds(kQuiet * 3));
    ::kill(::getpid(), SIGINT);
  });
  EXPECT_EQ(watcher->wait(nullptr), WatchEvent::STOPPED);
}

TEST_F(FileWatcherTest, AnswersAStopRequestThatCameWhileBusy) {
  ::raise(SIGTERM);  // blocked while the watcher lives: pending, not fatal
  EXPECT_EQ(watcher->wait(nullptr), WatchEvent::STOPPED);
  ::raise(SIGINT);
  EXPECT_TRUE(watcher->pause(5000));
  EXPECT_FALSE(watcher->pause(10));
}

TEST_F(FileWatcherTest, LeavesNoStopRequestPendingWhenItGoes) {
  static volatile sig_atomic_t delivered = 0;
  struct sigaction count = {}, before = {};
  count.sa_handler = [](int) { delivered = delivered + 1; };
  ::sigaction(SIGINT, &count, &before);
  ::raise(SIGINT);
  watcher.reset();  // a request left pending would be delivered as its mask goes
  ::sigaction(SIGINT, &before, nullptr);
  EXPECT_EQ(delivered, 0);
}

TEST(FileWatcher, RefusesAFolderThatDoesNotExist) {
  std::string error;
  EXPECT_FALSE(watch_file("/nonexistent-plotwright-folder/story.vell", 100, &error));
  EXPECT_EQ(error, "/nonexistent-plotwright-folder: No such file or directory");
}

}  // namespace
}  // namespace plotwright::platform
