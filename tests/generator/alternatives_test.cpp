// Line alternatives and nested groups: which alternative a draw picks, what shields a `|`.
#include "generator/alternatives.h"

#include <gtest/gtest.h>

#include <string>

#include "base/text.h"
#include "compiler/char_classes.h"
#include "support/test_support.h"

namespace plotwright {
namespace {

using testing::ScriptedRandom;

std::string alternative(const std::string& text, ScriptedRandom& random) {
  TextBuffer out;
  expand_alternatives(text.c_str(), out.data(), random);
  return out.data();
}

std::string groups(const std::string& text, ScriptedRandom& random) {
  TextBuffer buffer;
  copy_text(buffer.data(), text.c_str(), kTextMaxLength);
  expand_groups(buffer.data(), random);
  return buffer.data();
}

int separators(const char* text) {
  ClassArray classes;
  classify_text(text, classes.data());
  return count_separators(text, classes.data());
}

TEST(Alternatives, DrawPicksOneOfThreeInEqualThirds) {
  const struct {
    int draw;
    const char* chosen;
  } cases[] = {{0, "A"}, {10922, "A"}, {10923, "B"}, {21845, "B"}, {21846, "C"}, {32767, "C"}};
  for (const auto& c : cases) {
    ScriptedRandom random{c.draw};
    EXPECT_EQ(alternative("A|B|C", random), c.chosen) << c.draw;
    EXPECT_EQ(random.draws, 1);
  }
}

TEST(Alternatives, TextWithoutTopLevelSeparatorIsCopiedWithoutADraw) {
  for (const char* text : {"plain", "[name=A|B]", "{A|B}", "(a|b)", "<%x>3>big|small"}) {
    ScriptedRandom random;
    EXPECT_EQ(alternative(text, random), text);
    EXPECT_EQ(random.draws, 0) << text;
  }
}

TEST(Alternatives, CountsOnlyTopLevelSingleByteSeparators) {
  EXPECT_EQ(separators("<%x==3>big|small"), 1);
  EXPECT_EQ(separators("<%x>3>big|small"), 0);  // the `>` operator unbalances `<>`
  EXPECT_EQ(separators("a||b|"), 3);
  EXPECT_EQ(separators("x\x83\x7Cy"), 0);  // a `|` byte inside a double-byte character
  EXPECT_EQ(separators(")a|b"), 0);
}

TEST(Alternatives, EmptyAlternativesAreAllowed) {
  ScriptedRandom last{32767};
  EXPECT_EQ(alternative("a|", last), "");
  ScriptedRandom first{0};
  EXPECT_EQ(alternative("|b", first), "");
}

TEST(Alternatives, SeparatorsBeyondTheFirst1024BytesAreNotCounted) {
  const std::string filler(1100, 'a');
  ScriptedRandom none;
  EXPECT_EQ(alternative(filler + "|b", none), filler + "|b");
  EXPECT_EQ(none.draws, 0);
  // The last counted alternative ends at the uncounted separator.
  ScriptedRandom last{32767};
  EXPECT_EQ(alternative("x|" + filler + "|z", last), filler);
}

TEST(Groups, EachGroupChoosesIndependently) {
  ScriptedRandom random{0, 32767};
  EXPECT_EQ(groups("The (big|small) (cat|dog).", random), "The big dog.");
  EXPECT_EQ(random.draws, 2);
}

TEST(Groups, NestedGroupsExpandOneLevelPerPass) {
  const struct {
    std::initializer_list<int> draws;
    const char* result;
  } cases[] = {{{0, 0}, "very big box"}, {{0, 32767}, "big box"}, {{32767}, "small box"}};
  for (const auto& c : cases) {
    ScriptedRandom random(c.draws);
    EXPECT_EQ(groups("((very |)big|small) box", random), c.result);
  }
}

TEST(Groups, WhatIsAndIsNotExpanded) {
  const struct {
    const char* text;
    const char* result;
  } cases[] = {
      {"Text/(A|B)", "Text/(A|B)"},  // the only group stands after the `/`
      {"(x|y)/(A|B)", "x/A"},        // a group before it expands every group
      {"[name=(Anna|Mia)]", "[name=(Anna|Mia)]"},
      {"<%x==(1|2)>yes", "<%x==1>yes"},
      {"{(a|b)}", "{a}"},
      {"x(a|b", "xa"},  // an unclosed group takes the rest of the text
      {"(very |)", "very "},
  };
  for (const auto& c : cases) {
    ScriptedRandom random;
    EXPECT_EQ(groups(c.text, random), c.result) << c.text;
  }
}

TEST(Groups, TenLevelsAreExpandedAndTheEleventhStays) {
  ScriptedRandom random;
  EXPECT_EQ(groups("((((((((((a))))))))))", random), "a");
  EXPECT_EQ(groups("(((((((((((a)))))))))))", random), "(a)");
}

}  // namespace
}  // namespace plotwright
