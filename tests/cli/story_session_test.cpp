// The story command's two streams on one terminal: a note about a story comes after the story,
// although standard output is buffered and standard error is not.
#include "cli/story_session.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <sstream>
#include <string>

namespace plotwright::cli {
namespace {

// Both streams end on one screen: standard error at once, standard output only when flushed.
class Screen {
 public:
  class Unbuffered final : public std::streambuf {
   public:
    explicit Unbuffered(std::string& screen) : screen_(screen) {}

   protected:
    int_type overflow(int_type c) override {
      if (c != traits_type::eof()) screen_ += traits_type::to_char_type(c);
      return c;
    }

   private:
    std::string& screen_;
  };

  class Buffered final : public std::stringbuf {
   public:
    explicit Buffered(std::string& screen) : screen_(screen) {}

   protected:
    int sync() override {
      screen_ += str();
      str("");
      return 0;
    }

   private:
    std::string& screen_;
  };

  std::string text;
  Buffered out_buffer{text};
  Unbuffered err_buffer{text};
  std::ostream out{&out_buffer};
  std::ostream err{&err_buffer};
};

TEST(StorySession, ShowsTheStoryBeforeTheNoteThatItWasCutShort) {
  std::optional<Cp932Codec> codec;
  ASSERT_TRUE(Cp932Codec::open(codec, nullptr));
  Options options;
  options.seed = 1;
  options.no_stats = true;
  Screen screen;
  StorySession session(options, *codec, screen.out, screen.err);
  session::OpenedScenario scenario;
  scenario.path = "spin.vell";
  scenario.engine_bytes = "title T\nround\n{T}\n";
  EXPECT_EQ(session.finish(session.tell("story.vell", scenario)), kExitStory);
  screen.out.flush();
  const std::size_t note = screen.text.find("plotwright: note: story 1 was cut short");
  ASSERT_NE(note, std::string::npos);
  EXPECT_LT(screen.text.rfind("round\n"), note);  // the story's last line
}

}  // namespace
}  // namespace plotwright::cli
