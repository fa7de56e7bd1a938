// The pending line and the story buffer: capacities, line ends, joins and paragraph indents.
#include "output/output_buffers.h"

#include <gtest/gtest.h>

#include <string>

namespace plotwright {
namespace {

class OutputBuffersTest : public ::testing::Test {
 protected:
  // Puts `text` into the pending line and flushes it; true when the flush ended the line.
  bool flush(const char* text) {
    out.pending_put_text(text);
    out.flush_pending_line();
    return out.line_ended_flag == 1;
  }
  OutputBuffers out;
};

TEST_F(OutputBuffersTest, PutTextCountsUpToTheTerminatorAndTakesAtMost4096Bytes) {
  EXPECT_EQ(out.pending_put_text(nullptr) + out.story_put_text(nullptr), 0);
  out.pending_put_char('\0');
  out.story_put_char('\0');
  EXPECT_EQ(out.story(), "");
  EXPECT_EQ(out.pending_put_text("abc"), 3);
  const std::string unterminated = std::string(4096, 's') + "more";
  EXPECT_EQ(out.story_put_text(unterminated.c_str()), 0);
  EXPECT_EQ(out.story(), std::string(4096, 's'));
}

TEST_F(OutputBuffersTest, FullStoryKeepsItsBytesAndTakesNoLineEnds) {
  const std::string chunk(4000, 'x');
  while (out.story_length() < kStoryCapacity - 1) out.story_put_text(chunk.c_str());
  EXPECT_EQ(out.story_length(), 327669);
  EXPECT_TRUE(flush("more"));
  out.story_put_line_end();
  EXPECT_EQ(out.story_length(), 327669);
  EXPECT_EQ(out.story().back(), 'x');
  EXPECT_EQ(out.story().data()[327669], '\0');
}

TEST_F(OutputBuffersTest, ParagraphIndentIsAFullWidthSpaceUnlessTheLineIsIndented) {
  for (const auto& [pending, story] : {std::pair{"\x82\xa0", "\x81\x40\x82\xa0\r\n"},
                                       {"a",
                                        "\x81\x40"
                                        "a\r\n"},
                                       {"  two", "  two\r\n"},
                                       {" one", "\x81\x40 one\r\n"},
                                       {"\x81\x40x", "\x81\x40x\r\n"}}) {
    out.reset();
    out.paragraph_flag = 1;
    EXPECT_TRUE(flush(pending)) << pending;
    EXPECT_EQ(out.story(), story) << pending;
    EXPECT_EQ(out.paragraph_flag, 0) << pending;
  }
}

// A line's bytes stay terminated however they were put: a one-byte line is not read together
// with what an earlier, longer line left behind it.
TEST_F(OutputBuffersTest, AShortLineIsNotReadWithAnEarlierLinesBytes) {
  out.pending_put_bytes("  two", 5);
  out.flush_pending_line();
  out.paragraph_flag = 1;
  out.pending_put_bytes(" ", 1);
  out.flush_pending_line();
  EXPECT_EQ(out.story(), "  two\r\n\x81\x40 \r\n");
}

TEST_F(OutputBuffersTest, EmptyFlushEndsALineAndKeepsTheParagraphPending) {
  out.paragraph_flag = 1;
  out.flush_pending_line();
  EXPECT_EQ(out.paragraph_flag, 1);
  EXPECT_EQ(out.line_ended_flag, 1);
  EXPECT_TRUE(flush("text"));
  EXPECT_EQ(out.story(), "\r\n\x81\x40text\r\n");
}

}  // namespace
}  // namespace plotwright
