// The statistics file (path, records, resets, run counts) and the seeding of the random source.
#include "statistics/usage_statistics.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.h"

namespace plotwright {
namespace {

// Remembers the seed and counts the values drawn after it.
class RecordingRandom final : public RandomSource {
 public:
  void srand(std::uint32_t value) override {
    seed = value;
    draws = 0;
  }
  int rand() override { return ++draws, 0; }
  std::uint32_t seed = 0;
  int draws = 0;
};

TEST(StandardRandom, IsTheExampleGeneratorOfTheCStandard) {
  StandardRandom random;  // seeded with 1 until told otherwise
  EXPECT_EQ(random.rand(), 16838);
  EXPECT_EQ(random.rand(), 5758);
  random.srand(1);
  EXPECT_EQ(random.rand(), 16838);
  EXPECT_EQ(random.rand(), 5758);
  EXPECT_EQ(random.rand(), 10113);
}

TEST(SeedRandom, SeedsWithTheLow15BitsAndSkipsByTheLow8) {
  const struct {
    std::int64_t seconds;
    std::uint32_t seed;
    int skipped;
  } cases[] = {{0, 0, 10}, {0x12345, 0x2345, 0x45 + 10}, {0x7FFFFFFF, 0x7FFF, 265}};
  for (const auto& c : cases) {
    RecordingRandom random;
    FixedClock clock(c.seconds);
    seed_random(random, clock);
    EXPECT_EQ(random.seed, c.seed) << c.seconds;
    EXPECT_EQ(random.draws, c.skipped) << c.seconds;
  }
}

TEST(DeriveStatisticsPath, ReplacesOrAddsTheExtensionOfTheLastComponent) {
  const struct {
    const char* scenario;
    const char* statistics;
  } cases[] = {
      {"/s/story.vell", "/s/story.vus"},
      {"/s/story.v", "/s/story.vus"},
      {"/s/story.scenario", "/s/story.vus"},
      {"/s/a.b.c", "/s/a.b.vus"},
      {"/s/story", "/s/story.vus"},
      {"/s/story.", "/s/story.vus"},
      {"/s.d/story", "/s.d/story.vus"},
      {"C:\\s.d\\story", "C:\\s.d\\story.vus"},
      {"C:story", "C:story.vus"},
      {"story", "story.vus"},
      {"", ".vus"},
      // The second byte of this double-byte character is a backslash: it ends the scan too.
      {"x.d\x95\x5Cstory", "x.d\x95\x5Cstory.vus"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(derive_statistics_path(c.scenario), c.statistics) << c.scenario;
  }
  const std::string long_path = "/" + std::string(3000, 'd') + "/story";
  EXPECT_EQ(derive_statistics_path(long_path), long_path + ".vus");
}

class StatisticsFileTest : public ::testing::Test {
 protected:
  // Reads `content` for a scenario of `scenes` scenes over counts that were not zero.
  int read(const std::string& content, int scenes) {
    run_state.resize(scenes);
    for (int scene = 1; scene <= scenes; ++scene) {
      run_state.set_use_count(scene, 99);
      run_state.set_run_count(scene, 99);
      run_state.set_disabled(scene, 1);
      run_state.set_priority(scene, 3);
    }
    files.files[kPath] = content;
    return read_statistics(kPath, scenes, run_state, files, random, clock);
  }
  std::vector<std::int64_t> uses(int scenes) {
    std::vector<std::int64_t> counts;
    for (int scene = 1; scene <= scenes; ++scene) counts.push_back(run_state.use_count(scene));
    return counts;
  }
  std::vector<std::int64_t> runs(int scenes) {
    std::vector<std::int64_t> counts;
    for (int scene = 1; scene <= scenes; ++scene) counts.push_back(run_state.run_count(scene));
    return counts;
  }

  static constexpr const char* kPath = "/s/story.vus";
  RunState run_state;
  testing::ScriptedRandom random;
  FixedClock clock{0};
  MemoryFileStore files;
};

TEST_F(StatisticsFileTest, HoldsOneRecordForEverySceneButTheLast) {
  EXPECT_EQ(read("5 3\n7 1\n0 0\n", 4), 3);
  EXPECT_EQ(uses(4), (std::vector<std::int64_t>{5, 7, 0, 0}));
  EXPECT_EQ(runs(4), (std::vector<std::int64_t>{3, 1, 0, 0}));
  EXPECT_EQ(run_state.disabled(1), 0);
  EXPECT_EQ(run_state.priority(4), 0);
  run_state.add_use(4);
  EXPECT_EQ(format_statistics(3, run_state),
            "           5           4\n           7           2\n           0           1\n");
}

TEST_F(StatisticsFileTest, WrittenFileReadsBackWithRunCountsRaisedAtEachWrite) {
  read("", 3);
  run_state.set_use_count(1, 12);
  run_state.set_use_count(2, -4);
  for (int program_run = 1; program_run <= 3; ++program_run) {
    EXPECT_EQ(write_statistics(kPath, 2, run_state, files), "");
    const std::string written = files.files[kPath];
    EXPECT_EQ(read(written, 3), 2);
    EXPECT_EQ(uses(3), (std::vector<std::int64_t>{12, -4, 0}));
    EXPECT_EQ(runs(3), (std::vector<std::int64_t>{program_run, program_run, 0}));
  }
  EXPECT_EQ(files.files[kPath], "          12           3\n          -4           3\n");
}

TEST_F(StatisticsFileTest, LineEndsAndSpacingDoNotMatter) {
  read("  5\r\n  3\r\n\r\n7\t1", 3);
  EXPECT_EQ(uses(3), (std::vector<std::int64_t>{5, 7, 0}));
  EXPECT_EQ(runs(3), (std::vector<std::int64_t>{3, 1, 0}));
  // Each number is read from at most 12 characters.
  read("123456789012345 9\n", 3);
  EXPECT_EQ(uses(3), (std::vector<std::int64_t>{123456789012, 9, 0}));
  EXPECT_EQ(runs(3), (std::vector<std::int64_t>{345, 0, 0}));
}

TEST_F(StatisticsFileTest, ARecordWithOnlyItsFirstNumberCountsAsRead) {
  read("1 1\n2 2\n3", 4);
  EXPECT_EQ(uses(4), (std::vector<std::int64_t>{1, 2, 3, 0}));
  EXPECT_EQ(runs(4), (std::vector<std::int64_t>{1, 2, 0, 0}));
}

TEST_F(StatisticsFileTest, AFileThatDoesNotFitResetsEveryCount) {
  const std::string big_garbage = [] {
    std::string text(10 * 1024 * 1024, ' ');
    StandardRandom bytes;
    for (char& c : text) c = static_cast<char>(bytes.rand() & 0xFF);
    text[0] = 'x';
    return text;
  }();
  const struct {
    const char* what;
    std::string content;
  } cases[] = {
      {"one record too few", "1 1\n2 2\n"},
      {"one record too many", "1 1\n2 2\n3 3\n4 4\n"},
      {"a lone number too many", "1 1\n2 2\n3 3\n4\n"},
      {"not numbers", "1 1\nx 2\n3 3\n"},
      {"a sign without digits", "1 1\n- 2\n3 3\n"},
      {"empty", ""},
      {"10 MB of garbage", big_garbage},
      {"10 MB of records",
       [] {
         std::string text;
         for (int i = 0; i < 1000000; ++i) text += "7 7\n";
         return text;
       }()},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(read(c.content, 4), 3) << c.what;
    EXPECT_EQ(uses(4), (std::vector<std::int64_t>{0, 0, 0, 0})) << c.what;
    EXPECT_EQ(runs(4), (std::vector<std::int64_t>{0, 0, 0, 0})) << c.what;
  }
}

TEST_F(StatisticsFileTest, AMissingFileLeavesEveryCountAtZeroAndStillSeeds) {
  RecordingRandom recording;
  run_state.resize(3);
  run_state.set_use_count(2, 8);
  FixedClock later(0x105);
  EXPECT_EQ(read_statistics("/nowhere.vus", 3, run_state, files, recording, later), 2);
  EXPECT_EQ(uses(3), (std::vector<std::int64_t>{0, 0, 0}));
  EXPECT_EQ(recording.seed, 0x105u);
  EXPECT_EQ(recording.draws, 0x05 + 10);
}

}  // namespace
}  // namespace plotwright
