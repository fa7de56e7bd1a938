// The source reader: comment lines, backslash continuations, long lines and the line limit.
#include "compiler/source_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace plotwright {
namespace {

struct ReadResult {
  int result;
  std::vector<std::string> lines;
};

ReadResult read_all(std::string_view text) {
  MemoryLineSource source(text);
  SourceStore store;
  ReadResult out{read_source_lines(source, store), {}};
  const auto& lines = store.lines();
  EXPECT_EQ(lines.back(), nullptr);
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) out.lines.emplace_back(lines[i]);
  return out;
}

using Lines = std::vector<std::string>;

struct ReadCase {
  const char* what;
  std::string_view file;
  Lines stored;
};

TEST(ReadSourceLines, JoinsContinuationsAndDropsComments) {
  using namespace std::string_view_literals;
  const ReadCase cases[] = {
      {"continued line", "one\\\ntwo\nthree\n", {"onetwo", "three"}},
      {"comment inside a continuation", "one\\\n;note\ntwo\n", {"onetwo"}},
      {"continued onto an empty line", "one\\\n\nthree\n", {"one", "three"}},
      {"backslash on the last line", "one\ntwo\\", {"one"}},
      {"backslash on the last line with its end", "one\ntwo\\\n", {"one"}},
      {"comment only at the first byte", ";gone\n ;kept\n", {" ;kept"}},
      {"two backslashes", "a\\\\\nb\n", {"a\\b"}},
      {"empty lines are stored", "\n\nx", {"", "", "x"}},
      {"CR LF ends", "a\r\nb\\\r\nc\r\n", {"a", "bc"}},
      {"a zero byte ends the line", "ab\0cd\\\nnext\n"sv, {"ab", "next"}},
      {"empty file", "", {}},
  };
  for (const ReadCase& c : cases) {
    const ReadResult read = read_all(c.file);
    EXPECT_EQ(read.result, 0) << c.what;
    EXPECT_EQ(read.lines, c.stored) << c.what;
  }
}

TEST(ReadSourceLines, BackslashAsSecondByteOfADoubleByteCharacterDoesNotContinue) {
  // 表 (0x95 0x5C) and ソ (0x83 0x5C) end in the backslash value.
  EXPECT_EQ(read_all("\x95\x5c\nnext\n").lines, (Lines{"\x95\x5c", "next"}));
  EXPECT_EQ(read_all("a\x83\x5c\\\nb\n").lines, (Lines{"a\x83\x5c"
                                                       "b"}));
}

TEST(ReadSourceLines, OnlyTheFirst2048BytesOfAPhysicalLineCanContinueIt) {
  const std::string at_limit = std::string(2047, 'a') + "\\";
  EXPECT_EQ(read_all(at_limit + "\nb\n").lines, (Lines{std::string(2047, 'a') + "b"}));
  const std::string beyond = std::string(2048, 'a') + "\\";
  EXPECT_EQ(read_all(beyond + "\nb\n").lines, (Lines{beyond, "b"}));
}

TEST(ReadSourceLines, KeepsLongPhysicalAndLogicalLinesWhole) {
  const std::string long_line(5000, 'x');
  EXPECT_EQ(read_all(long_line + "\nnext\n").lines, (Lines{long_line, "next"}));

  // Two continued halves of 2000 and 3000 bytes join into one line of 4999.
  const std::string joined = std::string(1999, 'a') + "\\\n" + std::string(3000, 'b') + "\n";
  EXPECT_EQ(read_all(joined).lines, (Lines{std::string(1999, 'a') + std::string(3000, 'b')}));
}

TEST(ReadSourceLines, StopsAtTheLineLimit) {
  struct LimitCase {
    int file_lines;
    int result;
    int stored;
  };
  for (const LimitCase c :
       {LimitCase{199998, 0, 199998}, LimitCase{199999, 1, 199999}, LimitCase{200005, 1, 199999}}) {
    std::string file;
    for (int i = 0; i < c.file_lines; ++i) file += "x\n";
    MemoryLineSource source(file);
    SourceStore store;
    EXPECT_EQ(read_source_lines(source, store), c.result) << c.file_lines;
    EXPECT_EQ(store.size(), c.stored) << c.file_lines;
    EXPECT_EQ(store.lines()[c.stored], nullptr) << c.file_lines;
  }
}

TEST(ReadSourceLines, ASecondReadReplacesTheFirst) {
  SourceStore store;
  MemoryLineSource first("a\nb\nc\n");
  read_source_lines(first, store);
  MemoryLineSource second("z\n");
  EXPECT_EQ(read_source_lines(second, store), 0);
  ASSERT_EQ(store.lines().size(), 2u);
  EXPECT_STREQ(store.lines()[0], "z");
  EXPECT_EQ(store.lines()[1], nullptr);
}

}  // namespace
}  // namespace plotwright
