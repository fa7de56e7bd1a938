// The fast paths of generation (compiled simple lines, plain lines) write the same stories as
// the general path, for random scenarios and seeds.
#include <gtest/gtest.h>

#include <string>

#include "generator/generation_driver.h"
#include "support/compile_support.h"

namespace plotwright {
namespace {

// A random text line: words, groups, alternatives, and now and then the syntax that keeps a
// line off the fast paths.
std::string random_text(StandardRandom& shape, int depth) {
  static const char* const kPieces[] = {"a",    "bb ",    "~",         ";",   "|", "-",  "[%n++]",
                                        "[%n]", "<%n>2>", "[w=(x|y)]", "[w]", "/", "{c}"};
  std::string line;
  const int parts = 1 + shape.rand() % 6;
  for (int i = 0; i < parts; ++i) {
    if (depth > 0 && shape.rand() % 4 == 0) {
      line += "(" + random_text(shape, depth - 1) + "|" + random_text(shape, depth - 1) + ")";
    } else {
      line += kPieces[shape.rand() % (shape.rand() % 3 == 0 ? 13 : 6)];
    }
  }
  return line;
}

// Two titles, scenes of random lines, a select block and jumps between them.
std::string random_scenario(StandardRandom& shape) {
  std::string text = "title T1\n";
  for (int scene = 0; scene < 4; ++scene) {
    if (scene > 0) text += "scene S" + std::to_string(scene) + "\n";
    const int lines = 1 + shape.rand() % 5;
    for (int i = 0; i < lines; ++i) {
      static const char* const kStarts[] = {"", "", "", "", "-", "#"};
      text += kStarts[shape.rand() % 6] + random_text(shape, 3) + "\n";
    }
    if (scene < 3) text += "{S" + std::to_string(scene + 1) + "}\n";
  }
  return text + "title T2\nselect Pick\n<%n>1>S1\nS2\n";
}

std::string stories(const testing::CompiledText& compiled, std::uint32_t seed, bool fast) {
  OutputBuffers output;
  StandardRandom random;
  random.srand(seed);
  VariableStore variables(output, random);
  variables.init_variable_buffers();
  RunState run_state;
  SceneTable scenes = compiled.scenario.scenes;
  GenerationDriver driver(scenes, output, variables, run_state, random);
  driver.use_compiled_lines(fast);
  std::string all;
  for (int run = 0; run < 3; ++run) {
    driver.generate_story("");
    all += std::string(output.story()) + "\f";
  }
  return all;
}

TEST(FastPaths, WriteTheSameStoriesAsTheGeneralPath) {
  StandardRandom shape;
  shape.srand(11);
  for (int n = 0; n < 300; ++n) {
    const std::string scenario = random_scenario(shape);
    const testing::CompiledText compiled(scenario);
    ASSERT_EQ(compiled.errors, 0) << scenario;
    for (std::uint32_t seed = 1; seed <= 3; ++seed) {
      ASSERT_EQ(stories(compiled, seed * 31 + n, true), stories(compiled, seed * 31 + n, false))
          << scenario;
    }
  }
}

}  // namespace
}  // namespace plotwright
