// Places in a document as the protocol counts them (UTF-16 code units, any line end) and as the
// analysis counts them (characters, LF and CR LF lines), converted both ways.
#include "lsp/document_text.h"

#include <gtest/gtest.h>

namespace plotwright::lsp {
namespace {

struct Place {
  const char* text;
  LspPosition lsp;
  std::size_t offset;
  SourcePosition source;
};

// Each row: one place, named three ways, all of which must agree.
const Place kPlaces[] = {
    {"a\xF0\x9F\x98\x80"
     "b",
     {0, 3},
     5,
     {1, 3}},  // after an emoji: two units, one character
    {"\xE6\x97\xA5\xE6\x9C\xAC"
     "x",
     {0, 2},
     6,
     {1, 3}},                        // Japanese: one unit, three bytes each
    {"x\r\ny", {1, 0}, 3, {2, 1}},   // CR LF
    {"x\r\ny", {0, 1}, 1, {1, 2}},   // the end of a CR LF line
    {"a\rb\nc", {1, 1}, 3, {1, 4}},  // a lone CR ends only the protocol's line
    {"a\rb\nc", {2, 0}, 4, {2, 1}},
    {"\xEF\xBB\xBF"
     "ab",
     {0, 2},
     4,
     {1, 2}},                     // the mark is a unit, not a column
    {"ab\n", {1, 0}, 3, {2, 1}},  // the empty last line
};

TEST(DocumentText, NamesEachPlaceTheSameThreeWays) {
  for (const Place& place : kPlaces) {
    SCOPED_TRACE(place.text);
    const DocumentText text(place.text);
    std::size_t offset = 99;
    ASSERT_TRUE(text.offset_of(place.lsp, offset));
    EXPECT_EQ(offset, place.offset);
    EXPECT_EQ(text.lsp_position(place.offset).line, place.lsp.line);
    EXPECT_EQ(text.lsp_position(place.offset).character, place.lsp.character);
    EXPECT_EQ(text.offset_of(place.source), place.offset);
    EXPECT_EQ(text.source_position(place.offset).line, place.source.line);
    EXPECT_EQ(text.source_position(place.offset).column, place.source.column);
  }
}

TEST(DocumentText, ClampsWithinALineAndRefusesALinePastTheEnd) {
  const DocumentText text(
      "a\xF0\x9F\x98\x80"
      "b\nxy");
  std::size_t offset = 0;
  ASSERT_TRUE(text.offset_of(LspPosition{0, 2}, offset));  // between the surrogates
  EXPECT_EQ(offset, 1u);
  ASSERT_TRUE(text.offset_of(LspPosition{0, 99}, offset));
  EXPECT_EQ(offset, 6u);
  EXPECT_FALSE(text.offset_of(LspPosition{2, 0}, offset));
  EXPECT_FALSE(text.offset_of(LspPosition{-1, 0}, offset));
  EXPECT_EQ(text.offset_of(SourcePosition{1, 99}), 6u);
  EXPECT_EQ(text.offset_of(SourcePosition{9, 1}), 9u);
  EXPECT_EQ(text.source_line(2), "xy");
}

}  // namespace
}  // namespace plotwright::lsp
