// JSON text written straight into a string, for what the programs write most of: the text of
// stories (hundreds of kilobytes per second of output) and the language server's largest
// answers (the diagnostics and the outline of a file of 200,000 lines), where a generic
// serializer or a tree of values built first would cost several times the work itself.
// Strings come out byte for byte as nlohmann-json's dump() writes them (a test holds the two
// equal), which the programs use for everything else they write as JSON.
#pragma once

#include <string>
#include <string_view>

namespace plotwright {

// Appends `utf8` to `out` as a JSON string, quotes included: '"', '\\' and the control
// characters escaped, everything else as it is. A byte that starts no well-formed UTF-8
// character becomes U+FFFD, so that the output is always valid JSON.
void append_json_string(std::string& out, std::string_view utf8);

// Writes values in order; the caller keeps objects and arrays balanced and gives each member
// of an object its key first. Commas are placed by the writer.
class JsonWriter {
 public:
  JsonWriter& begin_object() { return open('{'); }
  JsonWriter& end_object() { return close('}'); }
  JsonWriter& begin_array() { return open('['); }
  JsonWriter& end_array() { return close(']'); }
  JsonWriter& key(std::string_view name);
  // A string, as append_json_string writes it.
  JsonWriter& value(std::string_view text);
  JsonWriter& value(const char* text) { return value(std::string_view(text)); }
  JsonWriter& value(int number);
  // A value already written as JSON text.
  JsonWriter& raw(std::string_view json_text);

  const std::string& text() const { return out_; }
  std::string take() { return std::move(out_); }

 private:
  JsonWriter& open(char bracket);
  JsonWriter& close(char bracket);
  void separate();

  std::string out_;
  bool after_value_ = false;  // the next value or key needs a comma before it
};

}  // namespace plotwright
