// Converting scenario files to engine bytes and engine text to UTF-8, with glibc's iconv.
#include "encoding/scenario_encoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <stdexcept>

namespace plotwright {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";  // U+FFFD
constexpr std::size_t kNoFailure = std::string_view::npos;

// One iconv conversion descriptor. CP932 and UTF-8 are stateless, so a descriptor can be
// reused for any number of independent texts.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " + to);
    }
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts `in`, appending to `out` when it is not null. Returns the offset of the first
  // byte that cannot be converted (an invalid or incomplete sequence, or a character the
  // target lacks), or kNoFailure when all of `in` converted. Output before that byte is kept.
  std::size_t convert(std::string_view in, std::string* out) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* in_ptr = const_cast<char*>(in.data());
    std::size_t in_left = in.size();
    char buffer[16384];
    while (in_left > 0) {
      char* out_ptr = buffer;
      std::size_t out_left = sizeof buffer;
      const std::size_t rc = iconv(cd_, &in_ptr, &in_left, &out_ptr, &out_left);
      const int error = errno;
      if (out != nullptr) out->append(buffer, static_cast<std::size_t>(out_ptr - buffer));
      if (rc != static_cast<std::size_t>(-1)) break;
      if (error != E2BIG) return in.size() - in_left;
    }
    return kNoFailure;
  }

 private:
  iconv_t cd_;
};

// The 1-based number of the line that holds `offset`.
int line_number_at(std::string_view text, std::size_t offset) {
  int line = 1;
  for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
    if (text[i] == '\n') ++line;
  }
  return line;
}

// The length of the UTF-8 character that starts at `offset` of valid UTF-8 text.
std::size_t utf8_char_length(std::string_view text, std::size_t offset) {
  std::size_t end = offset + 1;
  while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
  return end - offset;
}

// "U+1F600 (😀)" for one valid UTF-8 character.
std::string describe_character(std::string_view utf8_char) {
  Converter to_utf32("UTF-32LE", "UTF-8");
  std::string utf32;
  to_utf32.convert(utf8_char, &utf32);
  std::uint32_t code_point = 0;
  for (std::size_t i = utf32.size(); i-- > 0;) {
    code_point = (code_point << 8) | static_cast<unsigned char>(utf32[i]);
  }
  char number[16];
  std::snprintf(number, sizeof number, "U+%04X", static_cast<unsigned>(code_point));
  return std::string(number) + " (" + std::string(utf8_char) + ")";
}

std::string no_form_message(std::string_view text, std::size_t offset) {
  const std::string_view character = text.substr(offset, utf8_char_length(text, offset));
  return "line " + std::to_string(line_number_at(text, offset)) + ": character " +
         describe_character(character) + " has no Shift-JIS form";
}

// The first character of valid UTF-8 `text` that does not come back unchanged from
// Shift-JIS, described for the author. The text as a whole is known not to round-trip.
std::string lossy_character_message(std::string_view text) {
  Converter to_sjis("CP932", "UTF-8");
  Converter to_utf8("UTF-8", "CP932");
  for (std::size_t offset = 0; offset < text.size();) {
    const std::size_t length = utf8_char_length(text, offset);
    const std::string_view character = text.substr(offset, length);
    std::string sjis;
    std::string back;
    to_sjis.convert(character, &sjis);
    to_utf8.convert(sjis, &back);
    if (back != character) {
      return no_form_message(text, offset) + " of its own (it would come back as " +
             describe_character(back) + ")";
    }
    offset += length;
  }
  return "the text does not come back unchanged from Shift-JIS";
}

DecodeResult failure(std::string message) {
  DecodeResult result;
  result.error = std::move(message);
  return result;
}

// UTF-8 text (byte-order mark already dropped) to Shift-JIS, refusing any loss.
DecodeResult convert_utf8(std::string_view text) {
  Converter to_sjis("CP932", "UTF-8");
  DecodeResult result;
  const std::size_t failed = to_sjis.convert(text, &result.bytes);
  if (failed != kNoFailure) return failure(no_form_message(text, failed));
  Converter to_utf8("UTF-8", "CP932");
  std::string back;
  if (to_utf8.convert(result.bytes, &back) != kNoFailure || back != text) {
    return failure(lossy_character_message(text));
  }
  result.ok = true;
  result.was_utf8 = true;
  return result;
}

std::string invalid_utf8_message(std::string_view text, std::size_t offset) {
  char byte[8];
  std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned char>(text[offset]));
  return "line " + std::to_string(line_number_at(text, offset)) + ": byte " + byte +
         " is not valid UTF-8";
}

}  // namespace

bool parse_input_encoding(std::string_view name, InputEncoding& out) {
  if (name == "auto") {
    out = InputEncoding::kAuto;
  } else if (name == "shift_jis") {
    out = InputEncoding::kShiftJis;
  } else if (name == "utf-8") {
    out = InputEncoding::kUtf8;
  } else {
    return false;
  }
  return true;
}

DecodeResult decode_scenario(std::string_view file_bytes, InputEncoding encoding) {
  const auto unchanged = [&] { return DecodeResult{true, false, std::string(file_bytes), {}}; };
  if (encoding == InputEncoding::kShiftJis) return unchanged();
  std::string_view text = file_bytes;
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  const std::size_t invalid = Converter("UTF-32LE", "UTF-8").convert(text, nullptr);
  if (invalid != kNoFailure) {
    if (encoding == InputEncoding::kAuto) return unchanged();
    return failure(invalid_utf8_message(text, invalid));
  }
  return convert_utf8(text);
}

std::string engine_text_to_utf8(std::string_view engine_text) {
  Converter to_utf8("UTF-8", "CP932");
  std::string converted;
  converted.reserve(engine_text.size() + engine_text.size() / 2);
  while (!engine_text.empty()) {
    const std::size_t failed = to_utf8.convert(engine_text, &converted);
    if (failed == kNoFailure) break;
    // One replacement character per byte that is not Shift-JIS; the byte after it starts
    // afresh, so a stray lead byte does not swallow the ASCII character behind it.
    converted.append(kReplacementCharacter);
    engine_text.remove_prefix(failed + 1);
  }
  std::string text;
  text.reserve(converted.size());
  for (std::size_t i = 0; i < converted.size(); ++i) {
    if (converted[i] == '\r' && i + 1 < converted.size() && converted[i + 1] == '\n') continue;
    text.push_back(converted[i]);
  }
  return text;
}

}  // namespace plotwright
