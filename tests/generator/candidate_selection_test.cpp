// Choosing the next scene: disabled scenes, priority, conditions, least use and the draw.
#include "generator/candidate_selection.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "support/test_support.h"

namespace plotwright {
namespace {

class CandidateSelectionTest : public ::testing::Test, public testing::LanguageState {
 protected:
  CandidateSelectionTest() { run_state.resize(200); }

  // A list of choices, one per target, each with an optional condition, and the end record.
  std::vector<Record> choices(std::initializer_list<std::pair<int, const char*>> targets) {
    std::vector<Record> list;
    for (const auto& [target, condition] : targets) {
      list.emplace_back().target = target;
      if (condition) list.back().condition = LineList{&conditions.emplace_back(condition), 1};
    }
    list.push_back(Record{});
    return list;
  }
  int select(const std::vector<Record>& list) {
    return select_next_scene(list.data(), run_state, variables, random);
  }

  std::deque<const char*> conditions;
  RunState run_state;
};

TEST_F(CandidateSelectionTest, SuccessorIsChosenWithOneDrawUnlessDisabledOrZero) {
  const auto list = choices({{20, nullptr}});
  EXPECT_EQ(select(list), 20);
  EXPECT_EQ(select(choices({{0, nullptr}})), 0);
  EXPECT_EQ(random.draws, 2);
  run_state.set_disabled(20, 1);
  EXPECT_EQ(select(list), 0);
  EXPECT_EQ(select(choices({{20, nullptr}, {20, "%x==0"}})), 0);
  EXPECT_EQ(random.draws, 2);
}

TEST_F(CandidateSelectionTest, LeastUsedWinsWhateverTheDrawAndHoweverLargeTheCounts) {
  run_state.set_use_count(20, 5);
  run_state.set_use_count(21, 3);
  random.push(32767);
  EXPECT_EQ(select(choices({{20, nullptr}, {21, nullptr}})), 21);
  // Counts at and past 10^8, up to the largest a statistics file holds.
  run_state.set_use_count(20, 99999999999);
  EXPECT_EQ(select(choices({{20, nullptr}})), 20);
  run_state.set_use_count(21, 100000000);
  EXPECT_EQ(select(choices({{20, nullptr}, {21, nullptr}})), 21);
}

TEST_F(CandidateSelectionTest, HighestPriorityCountsEvenWhenItsConditionFails) {
  run_state.set_priority(20, 1);
  EXPECT_EQ(select(choices({{20, "%x==1"}, {21, "%x==0"}})), 0);
  variables.assign_variable("%x", "1");
  EXPECT_EQ(select(choices({{20, "%x==1"}, {21, "%x==0"}})), 20);
  // A disabled scene's priority does not count.
  run_state.set_disabled(20, 1);
  EXPECT_EQ(select(choices({{20, "%x==1"}, {21, nullptr}})), 21);
}

TEST_F(CandidateSelectionTest, TiesSplitTheDrawsEquallyAndATargetListedTwiceTiesTwice) {
  const auto three = choices({{20, nullptr}, {21, nullptr}, {22, nullptr}});
  const auto twice = choices({{20, nullptr}, {21, nullptr}, {20, nullptr}});
  const struct {
    int draw;
    int from_three;
    int from_twice;
  } cases[] = {{0, 20, 20},     {10922, 20, 20}, {10923, 21, 21},
               {21845, 21, 21}, {21846, 22, 20}, {32767, 22, 20}};
  for (const auto& c : cases) {
    random.push(c.draw);
    EXPECT_EQ(select(three), c.from_three) << c.draw;
    random.push(c.draw);
    EXPECT_EQ(select(twice), c.from_twice) << c.draw;
  }
}

TEST_F(CandidateSelectionTest, CandidatesEndAfterAHundredOrAtARecordWithLinesOrALabel) {
  std::vector<Record> hundred(120);
  for (int i = 0; i < 120; ++i) hundred[i].target = i < 100 ? 20 : 21;
  hundred.push_back(Record{});
  run_state.set_disabled(20, 1);
  EXPECT_EQ(select(hundred), 0);

  auto list = choices({{30, nullptr}, {31, nullptr}, {32, nullptr}});
  run_state.set_use_count(30, 1);
  const char* const lines[] = {"text"};
  list[2].lines = LineList{lines, 1};
  EXPECT_EQ(select(list), 31);
  list[1].label = "wadai2";
  EXPECT_EQ(select(list), 30);
}

}  // namespace
}  // namespace plotwright
