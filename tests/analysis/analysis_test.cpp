// The author's view of a scenario: positions across comments, continuations and double-byte
// text. Each kind of mistake with its range: the golden case check/each-kind.
#include "analysis/scenario_analysis.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace plotwright {
namespace {

// "LINE:COL-LINE:COL severity: message [CODE]" for each diagnostic.
std::vector<std::string> check(const std::string& scenario) {
  const ScenarioAnalysis analysis(scenario);
  std::vector<std::string> out;
  for (const Diagnostic& d : analysis.diagnostics()) {
    out.push_back(std::to_string(d.range.begin.line) + ":" + std::to_string(d.range.begin.column) +
                  "-" + std::to_string(d.range.end.line) + ":" +
                  std::to_string(d.range.end.column) + " " + severity_name(d.severity) + ": " +
                  d.message + " [" + d.code + "]");
  }
  return out;
}

TEST(Analysis, PlacesBlocksChoicesAndJumpsOnTheAuthorsLinesAndColumns) {
  // Line 2 is a comment, line 4 continues line 3; "\x8c\xb4" is one double-byte character.
  const ScenarioAnalysis a(
      "title \x8c\xb4 A\n;note\nscene B\\\n x{C}\n{<%n>1>B;C}\nselect C\n<%n>1>  B\nC\nscene D\n"
      "<ready==yes>[%n=2]<%n==%m>x\n<%n>1><%k>2>x\n<%n==%m\n");
  const ScenarioModel& m = a.model();
  ASSERT_EQ(m.blocks.size(), 4u);
  EXPECT_EQ(m.blocks[0].name_range.begin.column, 7);
  EXPECT_EQ(m.blocks[0].name_range.end.column, 10);  // two characters and a blank: three
  EXPECT_EQ(m.blocks[1].name, "B x{C}");
  EXPECT_EQ(m.blocks[1].first_line, 3);
  EXPECT_EQ(m.blocks[1].last_line, 5);
  ASSERT_EQ(m.jumps.size(), 2u);
  EXPECT_EQ(m.jumps[0].target_range.begin.line, 5);
  EXPECT_EQ(m.jumps[0].target_range.begin.column, 8);
  EXPECT_TRUE(m.jumps[0].guarded);
  EXPECT_FALSE(m.jumps[1].guarded);
  EXPECT_EQ(m.jumps[1].target_scene, 16);
  ASSERT_EQ(m.choices.size(), 2u);
  EXPECT_TRUE(m.choices[0].guarded);
  EXPECT_EQ(m.choices[0].condition, "%n>1");
  EXPECT_EQ(m.choices[0].destination_range.begin.column, 9);
  EXPECT_EQ(m.choices[0].target, 0);  // "B" names no scene: the block is "B x{C}"
  EXPECT_FALSE(m.choices[1].guarded);
  EXPECT_EQ(m.choices[1].condition, "");
  EXPECT_EQ(m.choices[1].target, 16);
  EXPECT_EQ(m.choices[0].condition_range.begin.column, 2);
  EXPECT_EQ(m.choices[0].condition_range.end.column, 6);
  // Where each variable use stands, and how it is used. The `<` right after a condition is
  // text; the condition of line 12 never closes.
  std::vector<std::string> uses;
  for (const ModelVariableUse& use : m.variables) {
    uses.push_back(use.name + "@" + std::to_string(use.range.begin.line) + ":" +
                   std::to_string(use.range.begin.column) + (use.compared ? " compared" : ""));
  }
  EXPECT_EQ(uses, (std::vector<std::string>{"n@5:4", "n@7:3", "ready@10:2 compared", "n@10:15",
                                            "n@10:21", "m@10:25", "n@11:3", "n@12:3", "m@12:7"}));
}

// Columns count characters however far along a line a place is and in whatever order places
// are asked for (a condition's range comes before the variable inside it).
TEST(Analysis, CountsColumnsAlongALongLineOfDoubleByteText) {
  std::string line;
  std::vector<int> expected;  // the column of each variable's name
  int column = 1;
  for (int i = 0; i < 14; ++i) {
    line.append(i % 3, 'a');
    for (int c = 0; c < 40 + 13 * i; ++c) line += "\x8c\xb4";
    column += i % 3 + 40 + 13 * i;
    const std::string name = "v" + std::to_string(i);
    line += i % 2 ? "<%" + name + ">1>" : "[" + name + "]";
    expected.push_back(column + (i % 2 ? 2 : 1));
    column += static_cast<int>(name.size()) + (i % 2 ? 5 : 2);
  }
  const ScenarioAnalysis a("title T\n" + line + "\n");
  std::vector<int> found;
  for (const ModelVariableUse& use : a.model().variables) found.push_back(use.range.begin.column);
  EXPECT_EQ(found, expected);
}

// A line of many conditions keeps only the first few with their places, but each variable's
// first uses and the condition that never closes, so that every check still finds them.
TEST(Analysis, KeepsAFewItemsOfADenseLineAndWhatTheChecksNeed) {
  std::string dense = "[%n=1]";
  for (int i = 0; i < 40; ++i) dense += "<%n>1>(a)[%n++]";
  const std::string at = std::to_string(dense.size() + 2);
  const std::string end = std::to_string(dense.size() + 15);
  const ScenarioAnalysis a("title T\n" + dense + "[gold]<%late>2\n");
  EXPECT_EQ(a.model().conditions.size(), kLineItemsKept + 1u);
  EXPECT_EQ(a.model().variables.size(), kLineItemsKept + 2u);
  EXPECT_EQ(a.model().groups.size(), kLineItemsKept + 0u);
  EXPECT_EQ(
      check("title T\n" + dense + "[gold]<%late>2\n"),
      (std::vector<std::string>{
          "2:" + at + "-2:" + std::to_string(dense.size() + 6) +
              " warning: variable \"gold\" is read but never set: it prints its own name "
              "[V207]",
          "2:" + std::to_string(dense.size() + 7) + "-2:" + end +
              " warning: this condition never closes with '>': it runs to the end of the "
              "line [V210]",
          "2:" + std::to_string(dense.size() + 9) + "-2:" + std::to_string(dense.size() + 13) +
              " warning: variable \"late\" is read but never set [V207]",
      }));
}

}  // namespace
}  // namespace plotwright
