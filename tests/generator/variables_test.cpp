// The variable store (defining, assigning, adding, printing, the limit of 80) and conditions.
#include "generator/variables.h"

#include <gtest/gtest.h>

#include <string>

#include "generator/conditions.h"
#include "support/test_support.h"

namespace plotwright {
namespace {

class VariablesTest : public ::testing::Test, public testing::LanguageState {
 protected:
  // What printing `token` appends; checks that the yield counts those bytes.
  std::string print(const char* token) {
    output.reset();
    const int appended = variables.print_variable(token);
    const std::string printed(output.pending());
    EXPECT_EQ(appended, static_cast<int>(printed.size())) << token;
    return printed;
  }
};

TEST_F(VariablesTest, NumbersAddUpAndPrintWithoutDecimals) {
  variables.add_to_variable("%gold", 10);
  variables.add_to_variable("%gold", -3);
  EXPECT_EQ(print("%gold"), "7");
  variables.assign_variable("%gold", "2.5e1");
  EXPECT_EQ(print("%gold"), "25");
  EXPECT_EQ(print("%n"), "0");
  EXPECT_EQ(print("%Dn"), "0");
  EXPECT_EQ(variables.count(), 1);
  // A name that begins with D prints only in full-width digits.
  variables.assign_variable("%Dog", "5");
  EXPECT_EQ(print("%Dog"), "0");
  EXPECT_EQ(print("%DDog"), "\x82\x54");
}

TEST_F(VariablesTest, FullWidthDigitsKeepTheFirstFourCharacters) {
  for (const auto& [value, printed] : {std::pair{"25", "\x82\x51\x82\x54"},
                                       {"12345", "\x82\x50\x82\x51\x82\x52\x82\x53"},
                                       {"-5", "\x82\x4C\x82\x54"},
                                       {"0", "\x82\x4F"}}) {
    variables.assign_variable("%n", value);
    EXPECT_EQ(print("%Dn"), printed) << value;
  }
}

TEST_F(VariablesTest, LargeNumbersPrintWhole) {
  variables.assign_variable("%big", "1e300");
  const std::string printed = print("%big");
  EXPECT_EQ(printed.size(), 301u);
  EXPECT_EQ(printed.substr(0, 16), "1000000000000000");
  variables.assign_variable("%big", "-1.7976931348623157e308");  // the largest double
  EXPECT_EQ(print("%big").size(), 310u);
}

TEST_F(VariablesTest, TextIsATemplateChosenAgainAtEveryPrint) {
  variables.assign_variable("name", "(Anna|Mia)");
  random.push(0);
  random.push(32767);
  EXPECT_EQ(print("name"), "Anna");
  EXPECT_EQ(print("name"), "Mia");
  variables.assign_variable("name", "Anna~Lee");
  EXPECT_EQ(print("name"), "Anna~Lee");
}

TEST_F(VariablesTest, ValuesThatDefineOrAssignNothing) {
  // An empty value defines nothing, but empties a defined text, which then prints its name.
  EXPECT_EQ(variables.assign_variable("hero", ""), 0);
  EXPECT_EQ(variables.find_variable("hero"), -1);
  variables.assign_variable("hero", "Anna");
  EXPECT_EQ(variables.assign_variable("hero", ""), 1);
  EXPECT_EQ(print("hero"), "hero");
  // A number takes no text, no empty value and no other variable.
  variables.assign_variable("%n", "4");
  for (const char* value : {"abc", "", "%m"}) variables.assign_variable("%n", value);
  EXPECT_EQ(print("%n"), "4");
  // `[x=%y]` defines x but copies nothing; adding needs a `%`.
  EXPECT_EQ(variables.assign_variable("x", "%y"), 1);
  EXPECT_EQ(print("x"), "x");
  EXPECT_EQ(variables.add_to_variable("counter", 1), 0);
  EXPECT_EQ(variables.find_variable("counter"), -1);
}

TEST_F(VariablesTest, ANewStoryStartsEveryVariableEmpty) {
  variables.assign_variable("hero", "Anna");
  print("hero");
  variables.clear();
  variables.add_to_variable("%hero", 1);
  EXPECT_EQ(print("hero"), "hero");
  EXPECT_EQ(variables.slot(0).uses, 0);
}

TEST_F(VariablesTest, The81stNameIsReportedAndDefinesNothing) {
  for (int i = 0; i < 80; ++i) variables.add_to_variable(("%v" + std::to_string(i)).c_str(), i);
  output.pending_put_text("Before ");
  EXPECT_EQ(variables.assign_variable("extra", "x"), 0);
  EXPECT_EQ(variables.add_to_variable("%more", 1), 0);
  EXPECT_EQ(output.story(),
            "Before Variable \"extra\" could not be defined as count of variables exceed max "
            "80\r\nVariable \"more\" could not be defined as count of variables exceed max "
            "80\r\n");
  EXPECT_EQ(variables.count(), 80);
  EXPECT_EQ(print("%v79"), "79");
}

TEST(TextsEqual, ComparesWholeTextsWithinTheirFirst4096Bytes) {
  EXPECT_TRUE(texts_equal("Anna", "Anna"));
  EXPECT_FALSE(texts_equal("Anna", "Ann"));
  EXPECT_FALSE(texts_equal(nullptr, nullptr));
  const std::string just_fits(4095, 'x');
  EXPECT_TRUE(texts_equal(just_fits.c_str(), just_fits.c_str()));
  const std::string too_long(4096, 'x');
  EXPECT_FALSE(texts_equal(too_long.c_str(), too_long.c_str()));
}

// Conditions over a few variables of both kinds.
class ConditionsTest : public VariablesTest {
 protected:
  ConditionsTest() {
    for (const auto& [name, value] : {std::pair{"%gold", "10"},
                                      {"%half", "9.5"},
                                      {"%n", "7"},
                                      {"hero", "Anna"},
                                      {"%b", "2"},
                                      {"%seven", "7"},
                                      {"names", "(Anna|Mia)"}}) {
      variables.assign_variable(name, value);
    }
  }
  bool holds(const char* condition) { return test_condition_text(condition, variables); }
};

TEST_F(ConditionsTest, CompareNumbersAndTexts) {
  for (const char* condition :
       {"%gold>=10", "%never==0", "%gold>9.5", "%half<10", "%gold<=10", "%n==%seven", "%n>%b",
        "hero==Anna", "hero!=Mia", "hero!=", "villain==", "hero<=Anna", "names==(Anna|Mia)",
        "5<%n",         // a literal against a number is a number
        "%never==abc",  // text that is not a number counts as 0
        "%never=1"}) {  // `=` and `!` take the byte after them, whatever it is
    EXPECT_TRUE(holds(condition)) << condition;
  }
  for (const char* condition :
       {"%half>=10", "%never>=10", "%gold>10", "%gold<10", "%gold!=10", "%b==$hero", "hero==anna",
        "villain==Anna", "hero<Anna", "hero>Anna", "hero>=Mia", "names==Anna", "9<%n",
        "5==5",         // two literals are a text variable's name and a text
        "%gold==",      // an empty right side counts as 0
        "gold", ""}) {  // a condition without an operator never holds
    EXPECT_FALSE(holds(condition)) << condition;
  }
}

TEST_F(ConditionsTest, DollarCountsThePrintsSinceTheTextWasEmptied) {
  EXPECT_TRUE(holds("$hero==0"));
  print("hero");
  print("hero");
  EXPECT_TRUE(holds("$hero==2"));
  EXPECT_TRUE(holds("%b==$hero"));
  variables.assign_variable("hero", "");
  EXPECT_TRUE(holds("$hero==0"));
}

TEST(Conditions, ParseEndsAfterTheClosingBracketOrOnTheTerminator) {
  const struct {
    const char* text;  // starts just after the `<`
    Op op;
    const char* left;
    const char* right;
    int end;
    bool closed;
  } cases[] = {
      {"%a<=1>rest", Op::LE, "%a", "1", 6, true}, {"%x!1>Forest", Op::NE, "%x", "", 5, true},
      {"%x=", Op::EQ, "%x", "", 3, false},        {"%x==1", Op::EQ, "%x", "1", 5, false},
      {"abc", Op::NONE, "abc", "", 3, false},
  };
  for (const auto& c : cases) {
    TextBuffer left;
    TextBuffer right;
    int position = 0;
    Op op = Op::GT;
    const bool closed = parse_condition(c.text, testing::Classes(c.text).data(), left.data(),
                                        right.data(), position, op);
    EXPECT_EQ(closed, c.closed) << c.text;
    EXPECT_EQ(op, c.op) << c.text;
    EXPECT_STREQ(left.data(), c.left) << c.text;
    EXPECT_STREQ(right.data(), c.right) << c.text;
    EXPECT_EQ(position, c.end) << c.text;
  }
}

TEST(Conditions, ScanTokenStopsOnlyAtSingleByteStopsWithin4096Bytes) {
  // The second byte of the double-byte character 0x83 0x7C has the value of `|`.
  const char* text = "a\x83\x7C|b";
  TextBuffer out;
  int position = 0;
  EXPECT_EQ(scan_token(text, testing::Classes(text).data(), position, "|", out.data()), '|');
  EXPECT_STREQ(out.data(), "a\x83\x7C");
  EXPECT_EQ(position, 3);

  const std::string long_text(5000, 'x');
  position = 0;
  EXPECT_EQ(scan_token(long_text.c_str(), testing::Classes(long_text.c_str()).data(), position, "|",
                       out.data()),
            0);
  EXPECT_EQ(position, 4096);
  EXPECT_EQ(std::string(out.data()).size(), 4096u);
}

}  // namespace
}  // namespace plotwright
