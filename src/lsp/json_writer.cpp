// Writing JSON text: separators and string escapes.
#include "lsp/json_writer.h"

#include "encoding/utf8.h"

namespace plotwright::lsp {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

void escape_byte(std::string& out, char byte) {
  static constexpr char kHex[] = "0123456789abcdef";
  switch (byte) {
    case '"':
      out += "\\\"";
      return;
    case '\\':
      out += "\\\\";
      return;
    case '\n':
      out += "\\n";
      return;
    case '\r':
      out += "\\r";
      return;
    case '\t':
      out += "\\t";
      return;
    default:
      break;
  }
  if (static_cast<unsigned char>(byte) >= 0x20) {
    out += byte;
    return;
  }
  out += "\\u00";
  out += kHex[byte >> 4];
  out += kHex[byte & 0xF];
}

}  // namespace

void JsonWriter::separate() {
  if (after_value_) out_ += ',';
  after_value_ = true;
}

JsonWriter& JsonWriter::open(char bracket) {
  separate();
  out_ += bracket;
  after_value_ = false;
  return *this;
}

JsonWriter& JsonWriter::close(char bracket) {
  out_ += bracket;
  after_value_ = true;
  return *this;
}

JsonWriter& JsonWriter::key(std::string_view name) {
  value(name);
  out_ += ':';
  after_value_ = false;
  return *this;
}

JsonWriter& JsonWriter::value(std::string_view text) {
  separate();
  out_ += '"';
  const bool well_formed = utf8::find_invalid(text) == std::string_view::npos;
  std::size_t run = 0;  // the start of the bytes not written yet, none of which needs escaping
  for (std::size_t p = 0; p < text.size();) {
    const auto byte = static_cast<unsigned char>(text[p]);
    if (byte >= 0x20 && byte != '"' && byte != '\\' && (byte < 0x80 || well_formed)) {
      ++p;
      continue;
    }
    out_.append(text, run, p - run);
    char32_t code_point = 0;
    const std::size_t length = byte < 0x80 ? 1 : utf8::decode(text, p, code_point);
    if (byte < 0x80) escape_byte(out_, text[p]);
    if (byte >= 0x80 && length > 0) out_.append(text, p, length);
    if (byte >= 0x80 && length == 0) out_ += kReplacement;
    p += length == 0 ? 1 : length;
    run = p;
  }
  out_.append(text, run, text.size() - run);
  out_ += '"';
  return *this;
}

JsonWriter& JsonWriter::value(int number) {
  separate();
  out_ += std::to_string(number);
  return *this;
}

JsonWriter& JsonWriter::raw(std::string_view json_text) {
  separate();
  out_ += json_text;
  return *this;
}

}  // namespace plotwright::lsp
