// The line interpreter: text, line breaks, joins, comments, conditions and bracket operations.
#include "generator/line_interpreter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.h"

namespace plotwright {
namespace {

// Runs `lines` through one interpreter over its own state; returns the story.
struct Interpreter : testing::LanguageState {
  std::string run(const std::vector<const char*>& lines) {
    for (const char* line : lines) interpreter.interpret_line(line, testing::Classes(line).data());
    return std::string(output.story());
  }
  LineInterpreter interpreter{output, variables, random};
};

struct Case {
  std::vector<const char*> lines;
  const char* story;
};

void expect_stories(const std::vector<Case>& cases) {
  for (const Case& c : cases) EXPECT_EQ(Interpreter().run(c.lines), c.story) << c.lines.back();
}

TEST(LineInterpreter, TurnsLinesIntoStoryText) {
  expect_stories({
      {{"He~said~hello."}, "He said hello.\r\n"},
      {{"First/Second"}, "First\r\nSecond\r\n"},
      {{"/"}, "\r\n"},
      {{"First/"}, "First\r\n"},
      {{""}, ""},
      {{"The road goes on-", "into the hills."}, "The road goes oninto the hills.\r\n"},
      {{"Kept{ a note }text"}, "Kepttext\r\n"},
      {{"}a{b"}, "b\r\n"},
      {{"-~~---"}, "-  ---\r\n"},
      {{"-a/b;{c}<d|"}, "-a/b;{c}<d|\r\n"},
      {{"a-b-"}, "a-b"},
      // A line that appends nothing drops its final `-` instead of joining the next line.
      {{"[x=1]-", "b", "c"}, "b\r\nc\r\n"},
      // The bytes of a double-byte character are never syntax, not even `{` or `~`.
      {{"\x83\x7B"
        "a\x83\x7E"},
       "\x83\x7B"
       "a\x83\x7E\r\n"},
      // A paragraph mark ends an open line and indents the next one.
      {{"One.", "#", "Two.", "Three."}, "One.\r\n\x81\x40Two.\r\nThree.\r\n"},
      {{"One-", "#", "Two."}, "One\r\n\x81\x40Two.\r\n"},
  });
}

TEST(LineInterpreter, ConditionsSwitchTheRestOfTheLine) {
  expect_stories({
      {{"[%gold=10]", "<%gold>=10>rich;done"}, "richdone\r\n"},
      {{"<%gold>=10>rich;done"}, "done\r\n"},
      {{"[%a=1]", "<%a==1>x<%b==1>y"}, "x\r\n"},
      {{"[%b=1]", "<%a==1>x<%b==1>y"}, "y\r\n"},
      // The byte right after the `>` is text, even a syntax character.
      {{"[%a=1]", "<%a==1>;x"}, ";x\r\n"},
      {{"<%a==1>;x"}, ""},
      {{"<%x==0>/x"}, "/x\r\n"},
      {{"<%x==0>-"}, "-\r\n"},
      {{"text<%x==1>"}, "text\r\n"},
      // Without its `>` the condition runs to the end of the line.
      {{"a<%x==0"}, "a\r\n"},
      // A condition inside a comment still sets the switch.
      {{"{<%x==1>a}hidden;shown"}, "shown\r\n"},
  });
}

TEST(LineInterpreter, BracketOperationsChangeAndPrintVariables) {
  expect_stories({
      {{"[name=Alice]"}, ""},
      {{"[hero]"}, "hero\r\n"},
      {{"[%No++]", "~~[%No]."}, "  1.\r\n"},
      {{"[x+5]"}, "5]\r\n"},
      // `++` skips the byte after it, whatever it is.
      {{"[%n++yz", "[%n]"}, "z\r\n1\r\n"},
      {{"[%n--]", "[%n--", "[%n]"}, "-2\r\n"},
      {{"[%n+=2.5]", "[%n-=-1]", "[%n]"}, "4\r\n"},
      {{"[%n+=abc]", "[%n]"}, "0\r\n"},
      {{"[counter++]", "[%counter]"}, "0\r\n"},
      // A value assigned while output is off still counts; other operations do not.
      {{"<%x==1>[name=Bob]", "[name]"}, "Bob\r\n"},
      {{"<%x==1>[%n++]", "[%n]"}, "0\r\n"},
      {{"<%x==1>[name=(Bob)]", "[name]"}, "name\r\n"},
      {{"<%x==1>[name]"}, ""},
      {{"{[name=Bob]}", "[name]"}, "name\r\n"},
  });
}

TEST(LineInterpreter, ValueAlternativesAreChosenAtTheAssignment) {
  Interpreter interpreter;
  interpreter.random.push(32767);
  interpreter.random.push(32767);
  EXPECT_EQ(interpreter.run({"[hero=Anna|(Mia|Lena)]", "[hero][hero]"}), "LenaLena\r\n");
  EXPECT_EQ(interpreter.random.draws, 2);
}

}  // namespace
}  // namespace plotwright
