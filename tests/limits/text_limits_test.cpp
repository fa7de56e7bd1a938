// Scenario texts at and far beyond the sizes the language is built for: megabyte lines, names
// and values of 10,000 bytes, deep groups, thousands of separators, constructs that never
// close, numbers too large for a story line. Each must give what the rules define and touch
// no byte outside its buffers (these tests also run under AddressSanitizer).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "base/limits.h"
#include "support/test_support.h"

namespace plotwright {
namespace {

using testing::body_of;
using testing::ScenarioHarness;
using testing::ScriptedRandom;

// The story of a scenario whose one title holds `lines` (LF-separated, no final LF), with
// every random draw giving `draw`.
std::string story_of(const std::string& lines, int draw = 0) {
  ScriptedRandom random({}, draw);
  ScenarioHarness h(&random);
  return body_of(h.load("title T\n" + lines + "\n"));
}

// Text that passes the bracket check however it goes on: the check looks at 1024 bytes only.
const std::string kPad(1030, 'p');

TEST(LongLines, AMegabytePhysicalLineIsKeptAndRunAsItsFirst4095Bytes) {
  const std::string line(1 << 20, 'a');
  ScenarioHarness h;
  const std::string story = body_of(h.load("title T\n" + line + "\nafter\n"));
  EXPECT_EQ(h.engine().store().lines()[1], line);
  EXPECT_EQ(story, std::string(kTextMaxLength, 'a') + "\nafter\n");
}

TEST(LongLines, AMegabyteLogicalLineOfContinuationsIsJoinedWhole) {
  std::string file = "title T\n";
  for (int i = 0; i < 1024; ++i)
    file += std::string(1023, static_cast<char>('a' + i % 26)) + "\\\n";
  file += "end of it\n";
  ScenarioHarness h;
  const std::string story = body_of(h.load(file));
  const std::string stored = h.engine().store().lines()[1];
  EXPECT_EQ(stored.size(), 1024u * 1023 + 9);
  EXPECT_EQ(stored.substr(1020, 6), "aaabbb");
  EXPECT_EQ(stored.substr(stored.size() - 12), "jjjend of it");
  EXPECT_EQ(story, stored.substr(0, kTextMaxLength) + "\n");
}

TEST(LongLines, OnlyAChoiceReachesASceneWithA10000ByteName) {
  // A choice's destination is the rest of the whole line. A jump is read within the line's
  // first 4095 bytes, which lose its `}`: the bracket check reports it, in a full pending line.
  const std::string name(10000, 'n');
  ScenarioHarness h;
  const std::string story = body_of(h.load("title T\n{Far}\n{" + name + "}\nselect Far\n" + name +
                                           "\nscene " + name + "\nfar\n"));
  EXPECT_EQ(h.outcome.compile_errors, 0);
  const std::string report = "illegal parenthesis in message \"{";
  EXPECT_EQ(story, "far\n" + report + std::string(kTextMaxLength - report.size(), 'n') + "\n");
}

TEST(LongLines, AMissingDestinationOf10000BytesIsReportedWithItsFirst4096) {
  const std::string name(10000, 'n');
  ScenarioHarness h;
  const std::string shown = h.load("title T\nselect Far\n" + name + "\n");
  EXPECT_EQ(h.outcome.compile_errors, 1);
  EXPECT_EQ(shown,
            "Scene \"" + std::string(4096, 'n') + "\" not found in select statement \"Far\"\r\n");
}

TEST(LongNamesAndValues, AVariableNameOrValueEndsWhereTheLineIsCut) {
  // "][" keeps the square brackets balanced within the 1024 bytes the bracket check reads.
  const std::string long_name(4000, 'n');
  const std::string value(4000, 'v');
  EXPECT_EQ(story_of("][" + long_name + "=" + std::string(80, 'v') + "]\n][" + long_name + "]"),
            "]\n]" + std::string(80, 'v') + "\n");
  // A value as long as the line allows fills the pending line; the rest of the print is lost.
  EXPECT_EQ(story_of("][x=" + value + "]\n[x][x]"),
            "]\n" + std::string(kTextMaxLength, 'v') + "\n");
  // Names and values of 10,000 bytes run past the cut: the operation never closes, so the
  // assignment takes what was read, a name without its `]` prints nothing.
  const std::string huge(10000, 'h');
  EXPECT_EQ(story_of("][x=" + huge + "]\n[x]"),
            "]\n" + std::string(kTextMaxLength - 4, 'h') + "\n");
  EXPECT_EQ(story_of("][" + huge + "]\nnext"), "]\nnext\n");
}

TEST(NestedGroups, TenLevelsExpandAndDeeperLevelsStayInTheText) {
  auto nested = [](int depth) {
    return std::string(static_cast<std::size_t>(depth), '(') + "x|y" +
           std::string(static_cast<std::size_t>(depth), ')');
  };
  EXPECT_EQ(story_of(nested(10)), "x\n");
  EXPECT_EQ(story_of(nested(11)), "(x|y)\n");
  // Lines under 1024 bytes go through the compiled group trees, longer ones through the
  // passes over the text: both leave the same 490 levels of a 500-deep group.
  EXPECT_EQ(story_of(nested(500)), nested(490) + "\n");
  EXPECT_EQ(story_of(kPad + nested(500)), kPad + nested(490) + "\n");
  // 1,000 levels: the bracket check sees only the opening brackets and rejects the line...
  const std::string story = story_of(nested(1000));
  EXPECT_EQ(story.rfind("illegal parenthesis in message \"((((", 0), 0u);
  // ...unless they start beyond its 1024 bytes.
  EXPECT_EQ(story_of(kPad + nested(1000)), kPad + nested(990) + "\n");
}

TEST(Separators, OnlyThoseWithinTheFirst1024BytesAreCounted) {
  // Alternatives "0000|0001|..." of five bytes each: 205 of them start within 1024 bytes.
  std::string line;
  for (int i = 0; i < 5000; ++i) {
    char alternative[8];
    std::snprintf(alternative, sizeof alternative, "%04d|", i);
    line += alternative;
  }
  EXPECT_EQ(story_of(line, 0), "0000\n");
  EXPECT_EQ(story_of(line, kRandMax), "0204\n");
  // 5,000 separators inside one group: the group's own first 1024 bytes count.
  EXPECT_EQ(story_of(kPad + "(" + line + ")", kRandMax), kPad + "0204\n");
}

TEST(UnclosedConstructs, TheLineEndsThemWithWhatWasRead) {
  // A condition without its `>` switches with the sides read and ends the line.
  EXPECT_EQ(story_of("[%x=1]\ntext<%x==1\n<%x==1rest\nnext"), "text\nnext\n");
  // A bracket operation without its `]` is carried out with what was read.
  EXPECT_EQ(story_of("][name=Bob\n[name]"), "]\nBob\n");
  EXPECT_EQ(story_of("][%n++\n][%n+=2\n[%n]"), "]\n]\n3\n");
  // A group without its `)` takes the rest of the text as its content.
  EXPECT_EQ(story_of(kPad + "(a|b", 0), kPad + "a\n");
  EXPECT_EQ(story_of(kPad + "(a|b", kRandMax), kPad + "b\n");
  // The same in a value, which the bracket check never sees.
  EXPECT_EQ(story_of("[v=(a|b])\n[v]"), ")\na\n");
  // Brackets that never close are reported by the bracket check and the line is not run.
  EXPECT_EQ(story_of("(a|b\n[name=Bob\n{!x"),
            "illegal parenthesis in message \"(a|b\" mismatch found at count of ()\n"
            "illegal parenthesis in message \"[name=Bob\" mismatch found at count of []\n"
            "illegal parenthesis in message \"{!x\" mismatch found at count of {}\n");
}

TEST(LargeNumbers, PrintWholePlainAndFourCharactersFullWidth) {
  char plain[400];
  std::snprintf(plain, sizeof plain, "%.0f", 1e300);
  EXPECT_EQ(story_of("[%n=1e300]\n[%n]\n[%Dn]"),
            std::string(plain) + "\n\x82\x50\x82\x4f\x82\x4f\x82\x4f\n");
  EXPECT_EQ(story_of("[%n=-1e300]\n[%Dn]"), "\x82\x4c\x82\x50\x82\x4f\x82\x4f\n");
  // Beyond the largest double the conversion gives infinity, printed as the C library does.
  EXPECT_EQ(story_of("[%n=1e999]\n[%n]\n[%n-=1e999]\n[%n]"), "inf\n-nan\n");
}

}  // namespace
}  // namespace plotwright
