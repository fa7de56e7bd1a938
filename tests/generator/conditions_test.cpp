// Conditions: parsing the operator and both sides, comparing numbers and texts, the token scanner.
#include "generator/conditions.h"

#include <gtest/gtest.h>

#include <string>

#include "compiler/char_classes.h"
#include "support/test_support.h"

namespace plotwright {
namespace {

using testing::ScriptedRandom;

struct Variables {
  Variables() {
    store.assign_variable("%gold", "10");
    store.assign_variable("%half", "9.5");
    store.assign_variable("%n", "7");
    store.assign_variable("hero", "Anna");
    store.assign_variable("%b", "2");
    store.assign_variable("%seven", "7");
    store.assign_variable("names", "(Anna|Mia)");
  }
  bool holds(const char* condition) { return test_condition_text(condition, store); }
  OutputBuffers output;
  ScriptedRandom random;
  VariableStore store{output, random};
};

TEST(Conditions, CompareNumbersAndTexts) {
  struct Case {
    const char* condition;
    bool holds;
  };
  const Case cases[] = {
      {"%gold>=10", true},
      {"%half>=10", false},
      {"%never>=10", false},
      {"%never==0", true},
      {"%gold>9.5", true},
      {"%half<10", true},
      {"%gold<=10", true},
      {"%gold!=10", false},
      {"%n==%seven", true},
      {"%n>%b", true},
      {"%b==$hero", false},
      {"$hero==0", true},
      {"hero==Anna", true},
      {"hero==anna", false},
      {"hero!=Mia", true},
      {"hero!=", true},
      {"villain==", true},
      {"villain==Anna", false},
      {"hero<Anna", false},
      {"hero>Anna", false},
      {"hero<=Anna", true},
      {"hero>=Mia", false},
      {"names==Anna", false},
      {"names==(Anna|Mia)", true},
      // Two literals are a text variable's name and a text, never two numbers.
      {"5==5", false},
      {"5<%n", true},
      {"9<%n", false},
      // Text that is not a number counts as 0; so does an empty right side.
      {"%never==abc", true},
      {"%gold==", false},
      {"%never=1", true},
      // A condition without an operator never holds.
      {"gold", false},
      {"", false},
  };
  Variables variables;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.condition);
    EXPECT_EQ(variables.holds(c.condition), c.holds);
  }
}

TEST(Conditions, UsesCountPrintsSinceTheTextWasEmptied) {
  Variables variables;
  EXPECT_TRUE(variables.holds("$hero==0"));
  variables.store.print_variable("hero");
  variables.store.print_variable("hero");
  EXPECT_TRUE(variables.holds("$hero==2"));
  EXPECT_TRUE(variables.holds("%b==$hero"));
  variables.store.assign_variable("hero", "");
  EXPECT_TRUE(variables.holds("$hero==0"));
}

TEST(Conditions, ParseReadsOperatorSidesAndEnd) {
  struct Case {
    const char* text;  // starts just after the `<`
    int op;
    const char* left;
    const char* right;
    int end;
    bool closed;
  };
  const Case cases[] = {
      {"%a==1>rest", OP_EQ, "%a", "1", 6, true},
      {"%a!=1>", OP_NE, "%a", "1", 6, true},
      {"%a<=1>", OP_LE, "%a", "1", 6, true},
      {"%a<1>", OP_LT, "%a", "1", 5, true},
      {"%a>=1>", OP_GE, "%a", "1", 6, true},
      {"%a>1>", OP_GT, "%a", "1", 5, true},
      // `=` and `!` always take the byte after them.
      {"%x=1>", OP_EQ, "%x", "", 5, true},
      {"%x!1>Forest", OP_NE, "%x", "", 5, true},
      {"%x=", OP_EQ, "%x", "", 3, false},
      {"%x==1", OP_EQ, "%x", "1", 5, false},
      {"abc", OP_NONE, "abc", "", 3, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ClassArray classes;
    classify_text(c.text, classes.data());
    TextBuffer left;
    TextBuffer right;
    int position = 0;
    int op = -99;
    EXPECT_EQ(parse_condition(c.text, classes.data(), left.data(), right.data(), position, op),
              c.closed);
    EXPECT_EQ(op, c.op);
    EXPECT_STREQ(left.data(), c.left);
    EXPECT_STREQ(right.data(), c.right);
    EXPECT_EQ(position, c.end);
  }
}

TEST(Conditions, ScanTokenStopsOnlyAtSingleByteStops) {
  // The second byte of the double-byte character 0x83 0x7C has the value of `|`.
  const char text[] = "a\x83\x7C|b";
  ClassArray classes;
  classify_text(text, classes.data());
  TextBuffer out;
  int position = 0;
  EXPECT_EQ(scan_token(text, classes.data(), position, "|", out.data()), '|');
  EXPECT_STREQ(out.data(), "a\x83\x7C");
  EXPECT_EQ(position, 3);

  const std::string long_text(5000, 'x');
  ClassArray long_classes;
  classify_text(long_text.c_str(), long_classes.data());
  position = 0;
  EXPECT_EQ(scan_token(long_text.c_str(), long_classes.data(), position, "|", out.data()), 0);
  EXPECT_EQ(position, 4096);
  EXPECT_EQ(std::string(out.data()).size(), 4096u);
}

}  // namespace
}  // namespace plotwright
