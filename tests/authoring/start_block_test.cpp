// --start: names before numbers, the nearest names for a name that names nothing.
#include "authoring/start_block.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace plotwright {
namespace {

using Names = std::vector<std::string>;

TEST(EditDistance, CountsCharactersNotBytesAndIgnoresTheCaseOfAsciiLetters) {
  EXPECT_EQ(edit_distance("Gale", "gale"), 0);
  EXPECT_EQ(edit_distance("Gulls", "Gul"), 2);
  EXPECT_EQ(edit_distance("", "Log"), 3);
  EXPECT_EQ(edit_distance("kitten", "sitting"), 3);
  EXPECT_EQ(edit_distance("駅員", "駅"), 1);  // one character, three bytes
  EXPECT_EQ(edit_distance("駅員", "駅長"), 1);
}

TEST(NearestNames, NearestFirstThenNamesTypedInPartThenInTheirOrderEachNameOnce) {
  const Names names{"Dusk", "Gale", "Gulls", "Gale", "Log", "Dawn"};
  EXPECT_EQ(nearest_names("Gul", names, 3), (Names{"Gulls", "Gale", "Dusk"}));
  EXPECT_EQ(nearest_names("x", names, 10), (Names{"Log", "Dusk", "Gale", "Dawn", "Gulls"}));
  EXPECT_TRUE(nearest_names("x", {}, 5).empty());
}

TEST(NameSuggestions, CaseAndBlanksFirstThenASlipOfAThirdOfTheName) {
  const NameSuggestions names({"Harbour", "harbor", "Gold", "Arrival", "駅員", "Gate"});
  const std::pair<const char*, const char*> cases[] = {
      {"harbour ", "Harbour"},                    // case and a blank, before the nearer "harbor"
      {"ARRIVAL", "Arrival"},  {"glod", "Gold"},  // a swap of two letters is one slip
      {"Arival", "Arrival"},   {"駅長", "駅員"}, {"Gx", ""},  // two slips of two letters
      {"Zebra", ""},           {"Gold", ""},                  // the name itself is no suggestion
      {"Gale", "Gate"},
  };
  for (const auto& [wanted, meant] : cases) EXPECT_EQ(names.suggestion(wanted), meant) << wanted;
  EXPECT_EQ(edit_distance("glod", "gold"), 1);
}

class FindStartScene : public ::testing::Test {
 protected:
  int find(const std::string& scenario, const std::string& wanted) {
    const ScenarioAnalysis analysis(scenario);
    error.clear();
    int scene = -1;
    // A refusal is scene 0 here; the result must agree with the scene found.
    const bool found = find_start_scene(wanted, analysis, *codec, scene, &error);
    EXPECT_EQ(found, scene != 0);
    return found ? scene : 0;
  }
  void SetUp() override { ASSERT_TRUE(Cp932Codec::open(codec, nullptr)); }

  std::optional<Cp932Codec> codec;
  std::string error;
};

TEST_F(FindStartScene, TakesANameBeforeANumber) {
  const std::string scenario = "title A\nx\nscene 14\ny\nscene B\nz\n";
  EXPECT_EQ(find(scenario, "B"), 16);
  EXPECT_EQ(find(scenario, "14"), 15);  // the block named "14", not scene 14
  EXPECT_EQ(find(scenario, "16"), 16);
  EXPECT_EQ(find(scenario, "000016"), 16);
  EXPECT_EQ(find(scenario, "No"), 3);  // as a jump to it would
}

TEST_F(FindStartScene, NamesTheNearestBlocksOfANameThatNamesNothing) {
  EXPECT_EQ(find("title Night\nscene Gulls\nscene Gale\nscene Log\n", "gull"), 0);
  EXPECT_EQ(error, "no block is named \"gull\"; the nearest names: Gulls, Gale, Log, Night");
  EXPECT_EQ(find("title A\n", "17"), 0);
  EXPECT_EQ(error, "the scenario has no scene 17 (its scenes are 1 to 14)");
  EXPECT_EQ(find("title A\n", "0"), 0);
  EXPECT_EQ(find("title A\n", "☕"), 0);  // no Shift-JIS form: no block can bear it
  EXPECT_EQ(error, "no block is named \"☕\"; the nearest names: A");
}

TEST_F(FindStartScene, FindsByNameABlockThatNamesDoNotReach) {
  std::string scenario = "title T\n";
  for (int i = 1; i <= 10000; ++i) scenario += "scene S" + std::to_string(i) + "\nx\n";
  EXPECT_EQ(find(scenario, "S10000"), 10014);
}

}  // namespace
}  // namespace plotwright
