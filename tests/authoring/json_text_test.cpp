// The story's JSON string is byte for byte what nlohmann-json writes for it.
#include "authoring/json_text.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "base/random_source.h"

namespace plotwright {
namespace {

TEST(JsonText, EscapesAsTheLibraryDoesForEveryByteThatNeedsIt) {
  static const char* const kPieces[] = {"a",    "\"", "\\",           "\n",
                                        "\r\n", "\t", "\x01",         "\x1f",
                                        "\x7f", "/",  "\xe3\x80\x80", "\xf0\x9f\x98\x80",
                                        " "};
  StandardRandom random;
  for (int n = 0; n < 2000; ++n) {
    std::string text;
    for (int i = random.rand() % 40; i > 0; --i) text += kPieces[random.rand() % 13];
    std::string ours;
    append_json_string(ours, text);
    ASSERT_EQ(ours, nlohmann::json(text).dump()) << text;
  }
}

}  // namespace
}  // namespace plotwright
