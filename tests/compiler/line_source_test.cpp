// Physical lines from memory: LF and CR LF ends, a last line without an end, a lone CR.
#include "compiler/line_source.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace plotwright {
namespace {

std::vector<std::string> all_lines(std::string_view text) {
  MemoryLineSource source(text);
  std::vector<std::string> lines;
  while (auto line = source.read_line()) lines.emplace_back(*line);
  return lines;
}

TEST(MemoryLineSource, RemovesLfAndCrLfEnds) {
  EXPECT_EQ(all_lines("a\nb\r\nc"), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(MemoryLineSource, EmptyTextHasNoLines) { EXPECT_TRUE(all_lines("").empty()); }

TEST(MemoryLineSource, TrailingLineEndMakesNoExtraLine) {
  EXPECT_EQ(all_lines("a\n\n"), (std::vector<std::string>{"a", ""}));
}

TEST(MemoryLineSource, KeepsLoneCarriageReturn) {
  EXPECT_EQ(all_lines("a\rb\n"), (std::vector<std::string>{"a\rb"}));
}

}  // namespace
}  // namespace plotwright
