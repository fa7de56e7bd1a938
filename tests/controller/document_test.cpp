// The load sequence, regeneration and shutdown, end to end through the document.
#include "controller/document.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace plotwright {
namespace {

using testing::body_of;
using testing::lf;
using testing::ScenarioHarness;

TEST(Document, WorkedExampleTellsTheMorningThenTheForest) {
  ScenarioHarness h;
  const std::string story = h.load(
      "title Morning\nThe sun rose.\n{Road}\nselect Road\nForest\n<%gold>=10>Market\n"
      "scene Forest\nTrees everywhere.\nscene Market\nStalls and noise.\n");
  EXPECT_EQ(h.outcome.compile_result, 0);
  EXPECT_EQ(lf(story),
            "---------------------- Plotwright English Version -----------------------\n\n"
            "The sun rose.\nTrees everywhere.\n\n-------- Plotwright English Version Ver1.00 "
            "---------\n");
  EXPECT_EQ(body_of(story), "The sun rose.\nTrees everywhere.\n");
}

}  // namespace
}  // namespace plotwright
