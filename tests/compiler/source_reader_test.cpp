// The source reader over physical lines: line ends, comments, continuations.
#include "compiler/source_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace plotwright {
namespace {

using Lines = std::vector<std::string>;

Lines read_all(std::string_view text, bool whole = true) {
  MemoryLineSource source(text);
  SourceStore store;
  EXPECT_EQ(read_source_lines(source, store), whole);
  EXPECT_EQ(store.lines().back(), nullptr);
  return Lines(store.lines().begin(), store.lines().end() - 1);
}

TEST(ReadSourceLines, SplitsJoinsAndDropsLines) {
  using namespace std::string_view_literals;
  const struct {
    std::string_view file;
    Lines stored;
  } cases[] = {
      {"", {}},
      {"a\r\nb\\\r\nc\n", {"a", "bc"}},
      {"a\rb\n\n", {"a\rb", ""}},  // a lone CR is a byte; the last line end makes no line
      {"\n\nx", {"", "", "x"}},
      {"one\\\n;note\ntwo\n", {"onetwo"}},  // a comment inside a continuation
      {"one\\\n\nthree\n", {"one", "three"}},
      {"one\ntwo\\", {"one"}},  // continued into the end of the file
      {"one\ntwo\\\n", {"one"}},
      {";gone\n ;kept\n", {" ;kept"}},
      {"a\\\\\nb\n", {"a\\b"}},
      {"ab\0cd\\\nnext\n"sv, {"ab", "next"}},  // a zero byte ends the line
      // 表 (0x95 0x5C) and ソ (0x83 0x5C) end in the backslash value but do not continue.
      {"\x95\x5c\nnext\n", {"\x95\x5c", "next"}},
      {"a\x83\x5c\\\nb\n", {"a\x83\\b"}},
  };
  for (const auto& c : cases) EXPECT_EQ(read_all(c.file), c.stored) << c.file;
}

TEST(ReadSourceLines, OnlyTheFirst2048BytesOfAPhysicalLineCanContinueIt) {
  const std::string at_limit(2047, 'a');
  EXPECT_EQ(read_all(at_limit + "\\\nb\n"), (Lines{at_limit + "b"}));
  const std::string beyond = std::string(2048, 'a') + "\\";
  EXPECT_EQ(read_all(beyond + "\nb\n"), (Lines{beyond, "b"}));
}

}  // namespace
}  // namespace plotwright

namespace plotwright {
namespace {

TEST(SourceStore, KnowsThePhysicalLineAndOffsetOfEveryStoredByte) {
  // Line 2 is a comment; lines 3 to 5 are one logical line with a comment line inside.
  MemoryLineSource source("first\n;note\nab\\\n;gone\ncd\\\r\nef\nlast");
  SourceStore store;
  ASSERT_TRUE(read_source_lines(source, store));
  ASSERT_EQ(store.size(), 3);
  EXPECT_STREQ(store.lines()[1], "abcdef");
  EXPECT_EQ(store.physical_lines(), 7);
  const struct {
    int line, offset, physical, physical_offset;
  } cases[] = {{0, 0, 1, 0}, {0, 4, 1, 4}, {1, 0, 3, 0}, {1, 1, 3, 1}, {1, 2, 5, 0},
               {1, 3, 5, 1}, {1, 4, 6, 0}, {1, 6, 6, 2}, {2, 3, 7, 3}};
  for (const auto& c : cases) {
    const PhysicalPosition p = store.physical_position(c.line, c.offset);
    EXPECT_EQ(p.line, c.physical) << c.line << ":" << c.offset;
    EXPECT_EQ(p.offset, c.physical_offset) << c.line << ":" << c.offset;
  }
  EXPECT_EQ(store.first_physical_line(1), 3);
  EXPECT_EQ(store.last_physical_line(1), 6);
}

}  // namespace
}  // namespace plotwright
