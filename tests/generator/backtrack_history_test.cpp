// The backtrack history: one return per jump, newest first, in a ring of the last 1000 jumps.
#include "generator/backtrack_history.h"

#include <gtest/gtest.h>

#include <vector>

namespace plotwright {
namespace {

// Pops until nothing is left; the source scenes in the order they came back.
std::vector<int> drain(BacktrackHistory& history) {
  std::vector<int> sources;
  std::int32_t scene = -1;
  while (history.history_pop(scene)) sources.push_back(scene);
  EXPECT_EQ(scene, 0);
  return sources;
}

TEST(BacktrackHistory, EachJumpServesOneReturnNewestFirst) {
  BacktrackHistory history;
  history.history_push(15);
  history.history_push(16);
  std::int32_t used = 0;
  ASSERT_TRUE(history.history_pop(used));
  EXPECT_EQ(used, 16);
  history.history_push(17);
  EXPECT_EQ(drain(history), (std::vector<int>{17, 15}));
}

TEST(BacktrackHistory, TheRingKeepsTheNewest1000JumpsAndAResetHidesThem) {
  BacktrackHistory history;
  for (int jump = 1; jump <= 1001; ++jump) history.history_push(jump);
  const std::vector<int> sources = drain(history);
  ASSERT_EQ(sources.size(), 1000u);
  EXPECT_EQ(sources.front(), 1001);
  EXPECT_EQ(sources.back(), 2);
  for (int jump = 1; jump <= 5; ++jump) history.history_push(jump);
  history.reset();
  EXPECT_EQ(drain(history), std::vector<int>{});
  history.history_push(9);
  EXPECT_EQ(drain(history), std::vector<int>{9});
}

}  // namespace
}  // namespace plotwright
