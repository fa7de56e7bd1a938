// JSON text written straight into a string, for the server's largest answers (the diagnostics
// and the outline of a file of 200,000 lines), where building a tree of values first would
// cost several times the analysis itself.
#pragma once

#include <string>
#include <string_view>

namespace plotwright::lsp {

// Writes values in order; the caller keeps objects and arrays balanced and gives each member
// of an object its key first. Commas are placed by the writer.
class JsonWriter {
 public:
  JsonWriter& begin_object() { return open('{'); }
  JsonWriter& end_object() { return close('}'); }
  JsonWriter& begin_array() { return open('['); }
  JsonWriter& end_array() { return close(']'); }
  JsonWriter& key(std::string_view name);
  // A string: UTF-8, escaped as JSON needs; a byte that is not well-formed UTF-8 becomes
  // U+FFFD, so the output is always valid JSON.
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

}  // namespace plotwright::lsp
