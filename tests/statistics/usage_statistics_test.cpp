// The statistics file (path, records, resets, run counts) and the seeding of the random source.
#include "statistics/usage_statistics.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "base/statistics_path.h"
#include "support/test_support.h"

namespace plotwright {
namespace {

using testing::ScriptedRandom;
using Counts = std::vector<std::pair<std::int64_t, std::int64_t>>;  // use and run, per scene

TEST(SeedRandom, SeedsTheStandardGeneratorWithTheLow15BitsAndSkipsByTheLow8) {
  for (const auto& [seconds, seed, skipped] :
       {std::tuple{0LL, 0u, 10}, {0x12345LL, 0x2345u, 0x45 + 10}, {0x7FFFFFFFLL, 0x7FFFu, 265}}) {
    ScriptedRandom random;
    FixedClock clock(seconds);
    seed_random(random, clock);
    EXPECT_EQ(random.seed, seed) << seconds;
    EXPECT_EQ(random.draws, skipped) << seconds;
  }
  // The example generator of the C standard, seeded with 1 until told otherwise.
  StandardRandom standard;
  EXPECT_EQ(standard.rand(), 16838);
  EXPECT_EQ(standard.rand(), 5758);
  standard.srand(1);
  EXPECT_EQ(standard.rand(), 16838);
  EXPECT_EQ(standard.rand(), 5758);
  EXPECT_EQ(standard.rand(), 10113);
}

TEST(DeriveStatisticsPath, ReplacesOrAddsTheExtensionOfTheLastComponent) {
  const struct {
    std::string scenario;
    std::string statistics;
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
      {"", ".vus"},
      // The second byte of this double-byte character is a backslash: it ends the scan too.
      {"x.d\x95\x5Cstory", "x.d\x95\x5Cstory.vus"},
      {"/" + std::string(3000, 'd') + "/story", "/" + std::string(3000, 'd') + "/story.vus"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(derive_statistics_path(c.scenario), c.statistics) << c.scenario.substr(0, 20);
  }
}

class StatisticsFileTest : public ::testing::Test {
 protected:
  // Reads `content` for a scenario of `scenes` scenes over counts and flags that were set.
  int read(const std::string& content, int scenes) {
    run_state.resize(scenes);
    for (int scene = 1; scene <= scenes; ++scene) {
      run_state.set_use_count(scene, 99);
      run_state.set_run_count(scene, 99);
      run_state.set_disabled(scene, 1);
      run_state.set_priority(scene, 3);
    }
    files.files[kPath] = content;
    // Whether they are used is the warning's and the records' business here.
    static_cast<void>(
        read_statistics(kPath, scenes, run_state, files, random, clock, loaded, &warning));
    return static_cast<int>(loaded.size());
  }
  Counts counts() const {
    Counts out;
    for (int scene = 1; scene <= run_state.size(); ++scene) {
      out.emplace_back(run_state.use_count(scene), run_state.run_count(scene));
    }
    return out;
  }

  static constexpr const char* kPath = "/s/story.vus";
  RunState run_state;
  StatisticsRecords loaded;
  std::string warning;
  ScriptedRandom random;
  FixedClock clock{0};
  MemoryFileStore files;
};

TEST_F(StatisticsFileTest, HoldsOneRecordForEverySceneButTheLast) {
  EXPECT_EQ(read("5 3\n", 0), 0);
  EXPECT_EQ(read("5 3\n", 1), 0);
  EXPECT_EQ(read("5 3\n7 1\n0 0\n", 4), 3);
  EXPECT_EQ(counts(), (Counts{{5, 3}, {7, 1}, {0, 0}, {0, 0}}));
  EXPECT_EQ(run_state.disabled(1) + run_state.priority(4), 0);
  run_state.add_use(1);
  run_state.add_use(4);
  EXPECT_EQ(format_statistics(merge_statistics("", run_state, loaded)),
            "           6           4\n           7           2\n           0           1\n");
}

TEST_F(StatisticsFileTest, ASaveAddsThisRunsCountsToWhatOtherRunsSavedMeanwhile) {
  read("5 3\n7 1\n", 3);
  run_state.add_use(1);
  run_state.add_use(1);
  run_state.add_use(2);
  // Another program saved in between: its counts stay, this run's are added to them.
  EXPECT_EQ(format_statistics(merge_statistics("9 4\n7 2\n", run_state, loaded)),
            "          11           5\n           8           3\n");
  // A file that no longer fits this scenario: this run's counts win.
  for (const char* current : {"", "1 1\n", "1 1\n2 2\n3 3\n", "x"}) {
    EXPECT_EQ(format_statistics(merge_statistics(current, run_state, loaded)),
              "           7           4\n           8           2\n")
        << current;
  }
}

TEST_F(StatisticsFileTest, ReadsNumbersOfAtMost12CharactersWhateverTheSpacing) {
  const struct {
    const char* content;
    Counts counts;
  } cases[] = {
      {"  5\r\n  3\r\n\r\n7\t1", {{5, 3}, {7, 1}, {0, 0}}},
      {"123456789012345 9\n", {{123456789012, 345}, {9, 0}, {0, 0}}},
      // A last record with only its first number counts as read.
      {"1 1\n2 2\n3", {{1, 1}, {2, 2}, {3, 0}, {0, 0}}},
      // Fields that fill their 12 characters, and a sign that takes one of them.
      {"999999999999999999999999\n", {{999999999999, 999999999999}, {0, 0}}},
      {"-99999999999 -5\n", {{-99999999999, -5}, {0, 0}}},
  };
  for (const auto& c : cases) {
    const int scenes = static_cast<int>(c.counts.size());
    EXPECT_EQ(read(c.content, scenes), scenes - 1) << c.content;
    EXPECT_EQ(counts(), c.counts) << c.content;
  }
}

TEST_F(StatisticsFileTest, AFileThatDoesNotFitResetsEveryCount) {
  std::string garbage(1000, ' ');
  StandardRandom bytes;
  for (char& c : garbage) c = static_cast<char>(bytes.rand() & 0xFF);
  garbage[0] = 'x';
  for (const std::string& content :
       {std::string("1 1\n2 2\n"), std::string("1 1\n2 2\n3 3\n4 4\n"),
        std::string("1 1\n2 2\n3 3\n4\n"), std::string("1 1\nx 2\n3 3\n"),
        std::string("1 1\n- 2\n3 3\n"), std::string(), garbage}) {
    EXPECT_EQ(read(content, 4), 3) << content.substr(0, 20);
    EXPECT_EQ(counts(), Counts(4)) << content.substr(0, 20);
  }
}

}  // namespace
}  // namespace plotwright
