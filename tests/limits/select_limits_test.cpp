// Select blocks at their edges: a choice whose condition never closes, and a block without
// any choice line.
#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

namespace plotwright {
namespace {

using testing::body_of;
using testing::lf;
using testing::ScenarioHarness;

TEST(SelectBlocks, AChoiceWithoutAClosingBracketHasNoDestination) {
  ScenarioHarness h;
  const std::string shown = h.load("title T\n{Road}\nselect Road\n<abc>Forest\nscene Forest\n");
  EXPECT_EQ(h.outcome.compile_errors, 1);
  EXPECT_FALSE(h.outcome.generated);
  EXPECT_EQ(lf(shown), "Destination not foud in select statement \"Road\"\n");
}

TEST(SelectBlocks, ASelectBlockWithoutChoicesDoesNotBorrowTheNextOnes) {
  // Road has no choice line, so nothing follows it and the run returns to the title. Its
  // list's end record used to be followed into the next scene's choices, or past the table.
  for (const char* after_road : {"select Other\nForest\nscene Forest\nIn the forest.\n", ""}) {
    ScenarioHarness h;
    const std::string story =
        h.load(std::string("title T\nstart\n{Road}\nback\nselect Road\n") + after_road);
    EXPECT_EQ(body_of(story), "start\nback\n") << after_road;
  }
}

}  // namespace
}  // namespace plotwright
