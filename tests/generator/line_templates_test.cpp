// Compiled simple lines expand exactly as the pass-by-pass expansion does, and their plain
// expansions run exactly as any line does.
#include "generator/line_templates.h"

#include <gtest/gtest.h>

#include <string>

#include "base/limits.h"
#include "base/text.h"
#include "generator/alternatives.h"
#include "generator/line_interpreter.h"
#include "generator/variables.h"
#include "output/output_buffers.h"
#include "support/test_support.h"

namespace plotwright {
namespace {

// The reference: line alternatives, then groups, as the driver does for any text line.
std::string expand_by_passes(const std::string& line, RandomSource& random) {
  TextBuffer alternative;
  expand_alternatives(line.c_str(), alternative.data(), random);
  expand_groups(alternative.data(), random);
  return alternative.data();
}

std::string expand_by_template(LineTemplate& compiled, RandomSource& random) {
  TextBuffer out;
  compiled.expand(out.data(), random);
  return out.data();
}

// A random line of words, separators and groups nested up to `depth` levels.
std::string random_line(StandardRandom& shape, int depth) {
  static const char* const kWords[] = {"a", "bb", " ", "~x", "", "-", ";", "%n"};
  std::string line;
  const int parts = 1 + shape.rand() % 5;
  for (int i = 0; i < parts; ++i) {
    const int kind = shape.rand() % 4;
    if (kind == 0 && depth > 0) {
      line += "(" + random_line(shape, depth - 1) + ")";
    } else if (kind == 1) {
      line += "|";
    } else {
      line += kWords[shape.rand() % 8];
    }
  }
  return line;
}

// What a line leaves in the output buffers, interpreted as any line or as a plain line, after
// a line that left the flags as `flags` says.
std::string interpreted(const std::string& line, int flags, bool plain) {
  OutputBuffers output;
  StandardRandom random;
  VariableStore variables(output, random);
  LineInterpreter interpreter(output, variables, random);
  output.pending_put_text("before ");
  output.paragraph_flag = flags & 1;
  output.join_flag = (flags >> 1) & 1;
  output.line_ended_flag = (flags >> 2) & 1;
  if (plain) {
    interpreter.interpret_plain_line(line.c_str(), static_cast<int>(line.size()));
  } else {
    interpreter.interpret_line(line.c_str(), testing::Classes(line.c_str()).data());
  }
  return std::string(output.story()) + "|" + std::string(output.pending()) + "|" +
         std::to_string(output.paragraph_flag) + std::to_string(output.join_flag) +
         std::to_string(output.line_ended_flag);
}

TEST(LineTemplate, ExpandsAndRunsLikeThePassesForRandomLinesAndSeeds) {
  StandardRandom shape;
  shape.srand(7);
  for (int n = 0; n < 3000; ++n) {
    static const char* const kStarts[] = {"", "", "", "-", "#", "~"};
    const std::string line = kStarts[n % 6] + random_line(shape, 1 + n % 13);
    LineTemplate compiled;
    ASSERT_TRUE(compiled.compile(line.c_str())) << line;
    for (std::uint32_t seed = 1; seed <= 5; ++seed) {
      StandardRandom by_passes;
      StandardRandom by_template;
      by_passes.srand(seed * 7919 + n);
      by_template.srand(seed * 7919 + n);
      ASSERT_EQ(expand_by_passes(line, by_passes), expand_by_template(compiled, by_template))
          << line;
      ASSERT_EQ(by_passes.rand(), by_template.rand()) << "draws differ for " << line;
    }
    StandardRandom random;
    random.srand(n);
    const std::string expanded = expand_by_template(compiled, random);
    ASSERT_EQ(interpreted(expanded, n % 8, true), interpreted(expanded, n % 8, false)) << line;
  }
}

TEST(LineTemplate, RefusesLinesThatAreNotSimple) {
  for (const char* line :
       {"[x]", "a<b", "{A}", "a/b", ")(", "(a", "a)", "caf\xc3\xa9", "tab\x01"}) {
    LineTemplate compiled;
    EXPECT_FALSE(compiled.compile(line)) << line;
  }
  LineTemplate long_line;
  EXPECT_FALSE(long_line.compile(std::string(kSeparatorWindow, 'a').c_str()));
}

TEST(LineTemplate, KeepsGroupsBelowTheTenthLevelUnexpanded) {
  std::string line = "x";
  for (int level = 0; level < 11; ++level) line = "(" + line + ")";
  LineTemplate compiled;
  ASSERT_TRUE(compiled.compile(line.c_str()));
  StandardRandom random;
  EXPECT_EQ(expand_by_template(compiled, random), "(x)");
}

}  // namespace
}  // namespace plotwright
