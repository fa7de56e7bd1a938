// JSON text written without a tree of values: strings byte for byte as nlohmann-json writes
// them, bytes that are not UTF-8 replaced so that the text stays valid, and separators.
#include "encoding/json_text.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "base/random_source.h"

namespace plotwright {
namespace {

// Texts of up to 40 pieces, so that escapes fall anywhere in and across the eight-byte words.
TEST(JsonText, EscapesAsTheLibraryDoesForEveryByteThatNeedsIt) {
  std::vector<std::string> pieces = {"a",    "\"", "\\",           "\r\n",
                                     "\x7f", "/",  "\xe3\x80\x80", "\xf0\x9f\x98\x80"};
  for (char byte = 0; byte < 0x20; ++byte) pieces.emplace_back(1, byte);
  StandardRandom random;
  for (int n = 0; n < 2000; ++n) {
    std::string text;
    for (int i = random.rand() % 40; i > 0; --i) text += pieces[random.rand() % pieces.size()];
    std::string ours;
    append_json_string(ours, text);
    ASSERT_EQ(ours, nlohmann::json(text).dump()) << text;
  }
}

struct Replaced {
  const char* text;
  const char* json;
};

const Replaced kReplaced[] = {
    {"a\xFF"
     "b",
     "\"a\xEF\xBF\xBD"
     "b\""},                                       // a stray byte
    {"\xE6\xA3", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},  // a cut character, each byte
    {"\xFF\"", "\"\xEF\xBF\xBD\\\"\""},
    {"\xC0\xAF\n0123456789", "\"\xEF\xBF\xBD\xEF\xBF\xBD\\n0123456789\""},  // overlong
};

TEST(JsonText, ReplacesWhatIsNotUtf8) {
  for (const Replaced& r : kReplaced) {
    std::string ours;
    append_json_string(ours, r.text);
    EXPECT_EQ(ours, r.json) << r.text;
  }
}

TEST(JsonWriter, SeparatesMembersAndItems) {
  JsonWriter out;
  out.begin_object().key("a").begin_array().value(1).value("x").begin_object().end_object();
  out.end_array().key("b").raw("null").key("c").begin_array().end_array().end_object();
  EXPECT_EQ(out.text(), R"({"a":[1,"x",{}],"b":null,"c":[]})");
}

}  // namespace
}  // namespace plotwright
