// The variable store: defining, assigning, adding, printing, and the limit of 80 variables.
#include "generator/variables.h"

#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

namespace plotwright {
namespace {

using testing::ScriptedRandom;

class VariablesTest : public ::testing::Test {
 protected:
  // What printing `token` appends; checks that the yield counts those bytes.
  std::string print(const char* token) {
    output.reset();
    const int appended = store.print_variable(token);
    const std::string printed(output.pending());
    EXPECT_EQ(appended, static_cast<int>(printed.size())) << token;
    return printed;
  }
  OutputBuffers output;
  ScriptedRandom random;
  VariableStore store{output, random};
};

TEST_F(VariablesTest, TextIsPrintedAndAnUnknownNamePrintsItself) {
  EXPECT_EQ(print("hero"), "hero");
  store.assign_variable("hero", "Anna~Lee");
  EXPECT_EQ(print("hero"), "Anna~Lee");
}

TEST_F(VariablesTest, NumbersAddUpAndPrintWithoutDecimals) {
  store.add_to_variable("%gold", 10);
  store.add_to_variable("%gold", -3);
  EXPECT_EQ(print("%gold"), "7");
  store.assign_variable("%gold", "2.5e1");
  EXPECT_EQ(print("%gold"), "25");
  EXPECT_EQ(print("%n"), "0");
  EXPECT_EQ(print("%Dn"), "0");
  EXPECT_EQ(store.count(), 1);
  // A name that begins with D prints only in full-width digits.
  store.assign_variable("%Dog", "5");
  EXPECT_EQ(print("%Dog"), "0");
  EXPECT_EQ(print("%DDog"), "\x82\x54");
}

TEST_F(VariablesTest, FullWidthDigitsKeepTheFirstFourCharacters) {
  const struct {
    const char* value;
    const char* printed;
  } cases[] = {
      {"25", "\x82\x51\x82\x54"},
      {"12345", "\x82\x50\x82\x51\x82\x52\x82\x53"},
      {"-5", "\x82\x4C\x82\x54"},
      {"0", "\x82\x4F"},
  };
  for (const auto& c : cases) {
    store.assign_variable("%n", c.value);
    EXPECT_EQ(print("%Dn"), c.printed) << c.value;
  }
}

TEST_F(VariablesTest, LargeNumbersPrintWhole) {
  store.assign_variable("%big", "1e300");
  const std::string printed = print("%big");
  EXPECT_EQ(printed.size(), 301u);
  EXPECT_EQ(printed.substr(0, 16), "1000000000000000");
  store.assign_variable("%big", "-1.7976931348623157e308");  // the largest double
  EXPECT_EQ(print("%big").size(), 310u);
}

TEST_F(VariablesTest, TemplateIsChosenAgainAtEveryPrint) {
  store.assign_variable("name", "(Anna|Mia)");
  random.push(0);
  random.push(32767);
  EXPECT_EQ(print("name"), "Anna");
  EXPECT_EQ(print("name"), "Mia");
  EXPECT_EQ(store.slot(store.find_variable("name")).text, "(Anna|Mia)");
  EXPECT_EQ(store.slot(store.find_variable("name")).uses, 2);
}

TEST_F(VariablesTest, EmptyValueDefinesNothingButEmptiesADefinedText) {
  EXPECT_EQ(store.assign_variable("hero", ""), 0);
  EXPECT_EQ(store.find_variable("hero"), -1);
  store.assign_variable("hero", "Anna");
  print("hero");
  EXPECT_EQ(store.assign_variable("hero", ""), 1);
  EXPECT_EQ(store.slot(0).uses, 0);
  EXPECT_EQ(print("hero"), "hero");
}

TEST_F(VariablesTest, ValuesThatAreNotAssigned) {
  store.assign_variable("%n", "4");
  for (const char* value : {"abc", "", "%m"}) store.assign_variable("%n", value);
  EXPECT_EQ(print("%n"), "4");
  // `[x=%y]` defines x but copies nothing.
  EXPECT_EQ(store.assign_variable("x", "%y"), 1);
  EXPECT_EQ(print("x"), "x");
  EXPECT_EQ(store.add_to_variable("counter", 1), 0);
  EXPECT_EQ(store.find_variable("counter"), -1);
}

TEST_F(VariablesTest, ANewStoryStartsEveryVariableEmpty) {
  store.assign_variable("hero", "Anna");
  print("hero");
  store.clear();
  store.add_to_variable("%hero", 1);
  EXPECT_EQ(print("hero"), "hero");
  EXPECT_EQ(store.slot(0).uses, 0);
}

TEST_F(VariablesTest, The81stNameIsReportedAndDefinesNothing) {
  for (int i = 0; i < 80; ++i) {
    store.add_to_variable(("%v" + std::to_string(i)).c_str(), i);
  }
  output.pending_put_text("Before ");
  EXPECT_EQ(store.assign_variable("extra", "x"), 0);
  EXPECT_EQ(store.add_to_variable("%more", 1), 0);
  EXPECT_EQ(std::string(output.story()),
            "Before Variable \"extra\" could not be defined as count of variables exceed max "
            "80\r\nVariable \"more\" could not be defined as count of variables exceed max "
            "80\r\n");
  EXPECT_EQ(store.count(), 80);
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

}  // namespace
}  // namespace plotwright
