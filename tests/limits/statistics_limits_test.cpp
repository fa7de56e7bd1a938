// The statistics file at its limits: counts at the edges of their 12-character fields, a file
// of 10 MB, and scenario paths of 4,000 bytes and beyond, in memory and on the real disk.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/clock.h"
#include "base/file_store.h"
#include "base/random_source.h"
#include "compiler/line_source.h"
#include "controller/document.h"
#include "generator/run_state.h"
#include "platform/disk_file_store.h"
#include "statistics/usage_statistics.h"
#include "support/test_support.h"

namespace plotwright {
namespace {

using testing::ScenarioHarness;
using testing::ScriptedRandom;

constexpr const char* kPath = "/s/story.vus";

// Every line the program writes: two fields of 12 characters and a line feed.
bool whole_records(const std::string& content, int records) {
  if (content.size() != static_cast<std::size_t>(records) * 25) return false;
  for (int k = 0; k < records; ++k) {
    if (content[static_cast<std::size_t>(k) * 25 + 24] != '\n') return false;
  }
  return true;
}

TEST(StatisticsFields, CountsBeyondAFieldAreWrittenAtItsEdgeAndReadBack) {
  MemoryFileStore files;
  files.files[kPath] = "999999999999 999999999999\n-99999999999 -99999999999\n-5 -7\n";
  ScriptedRandom random;
  FixedClock clock(0);
  RunState counts;
  StatisticsRecords loaded;
  ASSERT_TRUE(read_statistics(kPath, 4, counts, files, random, clock, loaded, nullptr));
  EXPECT_EQ(counts.use_count(1), 999999999999);
  EXPECT_EQ(counts.run_count(2), -99999999999);
  EXPECT_EQ(counts.use_count(3), -5);
  // Every field keeps a space in front, so that no two numbers run together.
  files.files[kPath] = "";  // counts of this run alone
  EXPECT_TRUE(write_statistics(kPath, counts, loaded, files, nullptr));
  const std::string written = files.files[kPath];
  ASSERT_TRUE(whole_records(written, 3)) << written;
  EXPECT_EQ(written,
            " 99999999999 99999999999\n -9999999999 -9999999999\n          -5          -6\n");
  RunState again;
  read_statistics(kPath, 4, again, files, random, clock, loaded, nullptr);
  EXPECT_EQ(again.use_count(1), 99999999999);
  EXPECT_EQ(again.run_count(1), 99999999999);
  EXPECT_EQ(again.use_count(2), -9999999999);
  EXPECT_EQ(again.run_count(2), -9999999999);
  EXPECT_EQ(again.run_count(3), -6);
  // A use count that fills its field: the reader takes the first 12 characters.
  files.files[kPath] = "999999999999999999999999\n";
  read_statistics(kPath, 2, again, files, random, clock, loaded, nullptr);
  EXPECT_EQ(again.use_count(1), 999999999999);
  EXPECT_EQ(again.run_count(1), 999999999999);
}

TEST(StatisticsFields, ATenMegabyteFileThatFitsIsReadWhole) {
  const int records = 10 * 1024 * 1024 / 25 + 1;
  std::string content;
  content.reserve(static_cast<std::size_t>(records) * 25);
  for (int k = 0; k < records; ++k) {
    content += std::string(11, ' ') + std::to_string(k % 10) + std::string(11, ' ') + "1\n";
  }
  ASSERT_GE(content.size(), 10u * 1024 * 1024);
  MemoryFileStore files;
  files.files[kPath] = content;
  ScriptedRandom random;
  FixedClock clock(0);
  RunState counts;
  StatisticsRecords loaded;
  ASSERT_TRUE(read_statistics(kPath, records + 1, counts, files, random, clock, loaded, nullptr));
  ASSERT_EQ(loaded.size(), static_cast<std::size_t>(records));
  EXPECT_EQ(counts.use_count(records), (records - 1) % 10);
  EXPECT_EQ(counts.run_count(records), 1);
  const std::string written = format_statistics(merge_statistics(content, counts, loaded));
  EXPECT_TRUE(whole_records(written, records));
  EXPECT_EQ(written.substr(written.size() - 25), content.substr(content.size() - 25, 23) + "2\n");
}

// A scenario with a choice, so that a load reads statistics and shutdown writes them.
constexpr const char* kScenario = "title A\nOne.\ntitle B\nTwo.\n";

TEST(StatisticsPaths, APathOf4000BytesAndOneWithoutADotGetTheirFiles) {
  const std::string long_path = "/" + std::string(3990, 'd') + "/story.vell";
  ASSERT_GE(long_path.size(), 4000u);
  for (const auto& [scenario, statistics] :
       {std::pair{long_path, long_path.substr(0, long_path.size() - 4) + "vus"},
        {std::string("/stories/story"), std::string("/stories/story.vus")}}) {
    ScenarioHarness h;
    h.load(kScenario, scenario);
    EXPECT_EQ(h.document.statistics_path(), statistics);
    EXPECT_TRUE(h.document.shutdown(nullptr));
    EXPECT_EQ(h.files.files.count(statistics), 1u) << statistics.size();
  }
}

class DiskFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/plotwright-limits-XXXXXX";
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

  std::string root_;
};

TEST_F(DiskFolder, AScenarioPathOf4000BytesKeepsItsStatisticsOnDisk) {
  const std::string scenario = deep_folder(4000 - 11) + "/story.vell";
  ASSERT_GE(scenario.size(), 3800u);
  platform::DiskFileStore disk;
  ScriptedRandom random;
  FixedClock clock(0);
  for (int run = 1; run <= 2; ++run) {
    Document document(DocumentServices{&random, &clock, &disk, nullptr});
    MemoryLineSource source(kScenario);
    document.load_scenario(source, scenario);
    EXPECT_TRUE(document.shutdown(nullptr));
  }
  std::string written;
  ASSERT_TRUE(
      disk.read_file(scenario.substr(0, scenario.size() - 4) + "vus", 1 << 20, written, nullptr));
  EXPECT_TRUE(whole_records(written, 14));
  EXPECT_EQ(written.substr(0, 25), "           2           2\n");
}

TEST_F(DiskFolder, APathTheSystemCannotOpenIsAReportedFailureAndNothingMore) {
  // Beyond the system's path limit: the load says why it keeps no statistics.
  const std::string scenario =
      deep_folder(4000) + "/" + std::string(200, 's') + "/" + std::string(200, 's') + "/story.vell";
  platform::DiskFileStore disk;
  ScriptedRandom random;
  FixedClock clock(0);
  Document document(DocumentServices{&random, &clock, &disk, nullptr});
  MemoryLineSource source(kScenario);
  const LoadOutcome loaded = document.load_scenario(source, scenario);
  EXPECT_TRUE(loaded.generated);
  EXPECT_NE(loaded.statistics_warning.find("File name too long"), std::string::npos);
  EXPECT_FALSE(document.statistics_active());
}

TEST_F(DiskFolder, ASaveRemovesTheTemporaryFilesOfProgramsThatWereKilled) {
  const pid_t ended = ::fork();
  if (ended == 0) ::_exit(0);
  ASSERT_GT(ended, 0);
  ::waitpid(ended, nullptr, 0);
  const std::string path = root_ + "/story.vus";
  const std::string temporary = root_ + "/.plotwright.";
  const std::string killed = temporary + std::to_string(ended) + ".a1b2c3";
  const std::string running = temporary + std::to_string(::getppid()) + ".a1b2c3";
  const std::string not_temporary[] = {temporary + "12x", temporary, temporary + "-1.a",
                                       temporary + std::to_string(ended),
                                       root_ + "/other.vus.tmp." + std::to_string(ended)};
  for (const std::string& name : {killed, running}) std::fclose(std::fopen(name.c_str(), "w"));
  for (const std::string& name : not_temporary) std::fclose(std::fopen(name.c_str(), "w"));
  platform::DiskFileStore disk;
  ASSERT_TRUE(disk.update_file(
      path, 100, [](std::string_view) { return "records\n"; }, nullptr));
  std::string written;
  EXPECT_TRUE(disk.read_file(path, 100, written, nullptr));
  EXPECT_EQ(written, "records\n");
  EXPECT_FALSE(std::filesystem::exists(killed));
  EXPECT_TRUE(std::filesystem::exists(running));
  for (const std::string& name : not_temporary) EXPECT_TRUE(std::filesystem::exists(name)) << name;
}

}  // namespace
}  // namespace plotwright
