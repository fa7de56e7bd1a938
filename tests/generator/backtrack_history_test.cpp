// The backtrack history: each jump serves one return, newest first, within a ring of 1000.
#include "generator/backtrack_history.h"

#include <gtest/gtest.h>

#include <vector>

namespace plotwright {
namespace {

// Pops until nothing is left; the source scenes in the order they came back.
std::vector<int> drain(BacktrackHistory& history) {
  std::vector<int> sources;
  std::int32_t scene = -1;
  const Record* list = nullptr;
  while (history.history_pop(scene, list) == 0) sources.push_back(scene);
  EXPECT_EQ(scene, 0);
  EXPECT_EQ(list, nullptr);
  return sources;
}

TEST(BacktrackHistory, NestedJumpsReturnNewestFirstAndEachOnce) {
  BacktrackHistory history;
  const Record a[1] = {};
  const Record b[1] = {};
  history.history_push(b, a, 1, 15, 14);
  history.history_push(nullptr, b, 1, 16, 15);
  std::int32_t scene = 0;
  const Record* list = nullptr;
  EXPECT_EQ(history.history_pop(scene, list), 0);
  EXPECT_EQ(scene, 15);
  EXPECT_EQ(list, b);
  EXPECT_EQ(drain(history), std::vector<int>{14});
}

TEST(BacktrackHistory, UsedEntriesAreSkippedUntilANewerJump) {
  BacktrackHistory history;
  history.history_push(nullptr, nullptr, 1, 15, 14);
  EXPECT_EQ(drain(history), std::vector<int>{14});
  history.history_push(nullptr, nullptr, 1, 16, 15);
  history.history_push(nullptr, nullptr, -1, 17, 16);  // already used
  EXPECT_EQ(drain(history), std::vector<int>{15});
  EXPECT_EQ(history.count(), 3);
}

TEST(BacktrackHistory, TheRingKeepsTheNewest1000Jumps) {
  BacktrackHistory history;
  for (int jump = 1; jump <= 1001; ++jump) history.history_push(nullptr, nullptr, 1, 0, jump);
  const std::vector<int> sources = drain(history);
  ASSERT_EQ(sources.size(), 1000u);
  EXPECT_EQ(sources.front(), 1001);
  EXPECT_EQ(sources.back(), 2);
}

TEST(BacktrackHistory, AResetHidesTheEntriesOfTheEarlierRun) {
  BacktrackHistory history;
  for (int jump = 1; jump <= 5; ++jump) history.history_push(nullptr, nullptr, 1, 0, jump);
  history.reset();
  EXPECT_EQ(drain(history), std::vector<int>{});
  history.history_push(nullptr, nullptr, 1, 0, 9);
  EXPECT_EQ(drain(history), std::vector<int>{9});
}

}  // namespace
}  // namespace plotwright
