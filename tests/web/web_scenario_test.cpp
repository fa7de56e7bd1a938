// The web package's scenario: every story is a run of the command line over statistics kept
// in memory, and what cannot be told fails as the command line fails. (web/test holds the
// package to the program itself, byte for byte.)
#include "web/web_scenario.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <sstream>

namespace plotwright::web {
namespace {

// Two titles: the start has two candidates, so the statistics decide between them. The file
// holds 14 records, one for each scene but the last: record 12 is the title list (scene 13),
// record 13 the first title (scene 14); the second title, the last scene, has none.
constexpr const char* kTwoTitles = "title A\nAlpha.\ntitle B\nBeta.\n";

std::string file_text(const char* name) {
  std::ifstream in(std::string(PLOTWRIGHT_SOURCE_DIR) + "/examples/" + name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class WebScenarioTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(Cp932Codec::open(codec_, nullptr)); }

  std::unique_ptr<Scenario> compile(std::string_view text,
                                    std::optional<std::string> statistics = "") {
    std::unique_ptr<Scenario> scenario;
    EXPECT_TRUE(Scenario::compile(*codec_, text, std::move(statistics), scenario, nullptr));
    return scenario;
  }

  std::vector<std::string> tell(Scenario& scenario, std::uint32_t seed, int count = 1) {
    std::vector<std::string> stories;
    RunFailure failure;
    EXPECT_TRUE(scenario.tell(seed, count, stories, failure)) << failure.message;
    return stories;
  }

  std::optional<Cp932Codec> codec_;
};

TEST_F(WebScenarioTest, WithoutStatisticsASeedAlwaysTellsOneStoryTheFirstOfItsCount) {
  const auto scenario = compile(file_text("the-lighthouse-keeper.vell"), std::nullopt);
  const auto three = tell(*scenario, 7, 3);
  ASSERT_EQ(three.size(), 3u);
  EXPECT_EQ(tell(*scenario, 7), std::vector<std::string>{three[0]});
  EXPECT_EQ(tell(*scenario, 7), std::vector<std::string>{three[0]});
  EXPECT_NE(three[1], three[0]);
  EXPECT_TRUE(three[0].starts_with("---") && three[0].ends_with("\n")) << three[0];
  EXPECT_EQ(three[0].find('\r'), std::string::npos);
  EXPECT_FALSE(scenario->statistics().has_value());
}

TEST_F(WebScenarioTest, TheStatisticsOfOneRunChooseTheNext) {
  const auto scenario = compile(kTwoTitles);
  // Seed 1 draws the first title; the next run takes the one used least, the other.
  EXPECT_NE(tell(*scenario, 1)[0].find("Alpha."), std::string::npos);
  EXPECT_NE(tell(*scenario, 1)[0].find("Beta."), std::string::npos);
  const std::string& saved = scenario->statistics().value();
  ASSERT_EQ(saved.size(), 14u * 25);
  EXPECT_EQ(saved.substr(12 * 25), "           2           2\n           1           2\n");
}

TEST_F(WebScenarioTest, AScenarioWithoutChoicesLeavesTheStatisticsAlone) {
  const auto scenario = compile("title A\nHello.\n", "not statistics");
  tell(*scenario, 3);
  EXPECT_EQ(scenario->statistics(), "not statistics");
}

TEST_F(WebScenarioTest, CompileErrorsFailWithTheirMessagesAndCountNothing) {
  const auto scenario = compile("title A\n{Road}\nselect Road\nMarkt\n", "kept");
  std::vector<std::string> stories;
  RunFailure failure;
  EXPECT_FALSE(scenario->tell(1, 1, stories, failure));
  EXPECT_EQ(failure.status, 1);
  EXPECT_EQ(failure.message, "Scene \"Markt\" not found in select statement \"Road\"");
  EXPECT_EQ(scenario->statistics(), "kept");
  ASSERT_FALSE(scenario->diagnostics().empty());
  EXPECT_EQ(scenario->diagnostics()[0].code, "V101");
  EXPECT_EQ(scenario->diagnostics()[0].range.begin.line, 4);
}

TEST_F(WebScenarioTest, ACharacterWithoutShiftJisFailsAsTheCommandLineAndIsDiagnosed) {
  const auto scenario = compile("title A\nA face \xF0\x9F\x98\x80 and a dash \xE3\x80\x9C.\n");
  std::vector<std::string> stories;
  RunFailure failure;
  EXPECT_FALSE(scenario->tell(1, 1, stories, failure));
  EXPECT_EQ(failure.status, 2);
  EXPECT_EQ(failure.message, "line 2: character U+1F600 (\xF0\x9F\x98\x80) has no Shift-JIS form");
  ASSERT_EQ(scenario->diagnostics().size(), 2u);
  EXPECT_EQ(scenario->diagnostics()[0].code, "V001");
  EXPECT_EQ(scenario->diagnostics()[0].range.begin.column, 8);
}

}  // namespace
}  // namespace plotwright::web
