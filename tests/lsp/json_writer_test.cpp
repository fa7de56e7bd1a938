// JSON text written without a tree of values: separators, escapes, and bytes that are not
// UTF-8, which must never make the text invalid.
#include "lsp/json_writer.h"

#include <gtest/gtest.h>

namespace plotwright::lsp {
namespace {

struct Escape {
  const char* text;
  const char* json;
};

const Escape kEscapes[] = {
    {"plain", R"("plain")"},
    {"say \"hi\" \\ bye", R"("say \"hi\" \\ bye")"},
    {"a\nb\tc\rd\x01", R"("a\nb\tc\rd\u0001")"},
    {"\xE6\xA3\xAE\xF0\x9F\x98\x80", "\"\xE6\xA3\xAE\xF0\x9F\x98\x80\""},  // kept as they are
    {"a\xFF"
     "b",
     "\"a\xEF\xBF\xBD"
     "b\""},                                       // U+FFFD for a stray byte
    {"\xE6\xA3", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},  // and for a cut character
    {"\xFF\"", "\"\xEF\xBF\xBD\\\"\""},
};

TEST(JsonWriter, EscapesWhatJsonNeedsAndReplacesWhatIsNotUtf8) {
  for (const Escape& e : kEscapes) {
    JsonWriter out;
    out.value(e.text);
    EXPECT_EQ(out.text(), e.json) << e.text;
  }
}

TEST(JsonWriter, SeparatesMembersAndItems) {
  JsonWriter out;
  out.begin_object().key("a").begin_array().value(1).value("x").begin_object().end_object();
  out.end_array().key("b").raw("null").key("c").begin_array().end_array().end_object();
  EXPECT_EQ(out.text(), R"({"a":[1,"x",{}],"b":null,"c":[]})");
}

}  // namespace
}  // namespace plotwright::lsp
