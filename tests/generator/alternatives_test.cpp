// Line alternatives and nested groups: which alternative a draw picks, what shields a `|`.
#include "generator/alternatives.h"

#include <gtest/gtest.h>

#include <string>

#include "base/text.h"
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

TEST(Alternatives, OnlyTopLevelSingleByteSeparatorsInTheFirst1024BytesCount) {
  const std::string filler(1024, 'a');  // a `|` after it is beyond the window
  const struct {
    std::string text;
    int draw;
    std::string chosen;  // the whole text when there is no separator, and then no draw
  } cases[] = {
      // A draw picks one of n alternatives in equal shares of 0 to 32767.
      {"A|B|C", 0, "A"},
      {"A|B|C", 10922, "A"},
      {"A|B|C", 10923, "B"},
      {"A|B|C", 21845, "B"},
      {"A|B|C", 21846, "C"},
      {"A|B|C", 32767, "C"},
      {"plain", 0, "plain"},
      {"[name=A|B]", 0, "[name=A|B]"},
      {"{A|B}", 0, "{A|B}"},
      {"(a|b)", 0, "(a|b)"},
      {")a|b", 0, ")a|b"},
      {"<%x>3>big|small", 0, "<%x>3>big|small"},  // the `>` operator unbalances `<>`
      {"<%x==3>big|small", 32767, "small"},
      {"x\x83\x7Cy", 0, "x\x83\x7Cy"},  // a `|` byte inside a double-byte character
      {"a||b|", 16384, "b"},
      {"a|", 32767, ""},
      {"|b", 0, ""},
      {filler + "|b", 0, filler + "|b"},
      {filler.substr(1) + "|b", 32767, "b"},
      {"x|" + filler + "|z", 32767, filler},  // the last alternative ends at the uncounted `|`
  };
  for (const auto& c : cases) {
    ScriptedRandom random{c.draw};
    EXPECT_EQ(alternative(c.text, random), c.chosen) << c.text.substr(0, 20);
    EXPECT_EQ(random.draws, c.text == c.chosen ? 0 : 1) << c.text.substr(0, 20);
  }
}

TEST(Groups, ExpandOneLevelPerPassUpToTen) {
  const struct {
    const char* text;
    std::initializer_list<int> draws;
    const char* result;
  } cases[] = {
      {"The (big|small) (cat|dog).", {0, 32767}, "The big dog."},
      {"((very |)big|small) box", {0, 0}, "very big box"},
      {"((very |)big|small) box", {0, 32767}, "big box"},
      {"((very |)big|small) box", {32767}, "small box"},
      {"Text/(A|B)", {}, "Text/(A|B)"},  // the only group stands after the `/`
      {"(x|y)/(A|B)", {}, "x/A"},        // a group before it expands every group
      {"[name=(Anna|Mia)]", {}, "[name=(Anna|Mia)]"},
      {"<%x==(1|2)>yes", {}, "<%x==1>yes"},
      {"{(a|b)}", {}, "{a}"},
      {"x(a|b", {}, "xa"},  // an unclosed group takes the rest of the text
      {"(very |)", {}, "very "},
      {"((((((((((a))))))))))", {}, "a"},
      {"(((((((((((a)))))))))))", {}, "(a)"},
  };
  for (const auto& c : cases) {
    ScriptedRandom random(c.draws);
    EXPECT_EQ(groups(c.text, random), c.result) << c.text;
  }
}

TEST(Groups, OnlySeparatorsInTheGroupsFirst1024BytesCount) {
  // Alternatives "0000|0001|..." of five bytes each: 205 of them start within 1024 bytes.
  std::string group = "(";
  for (int i = 0; i < 800; ++i) group += std::to_string(10000 + i).substr(1) + "|";
  ScriptedRandom random{32767};
  EXPECT_EQ(groups(group + ")", random), "0204");
}

}  // namespace
}  // namespace plotwright
