// Reading scenario files as UTF-8 or Shift-JIS, by request or by detection.
#include "encoding/scenario_encoding.h"

#include "encoding/utf8.h"

#include <algorithm>

namespace plotwright {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

bool parse_input_encoding(std::string_view name, InputEncoding& out) {
  if (name == "auto") {
    out = InputEncoding::AUTO;
  } else if (name == "shift_jis") {
    out = InputEncoding::SHIFT_JIS;
  } else if (name == "utf-8") {
    out = InputEncoding::UTF8;
  } else {
    return false;
  }
  return true;
}

bool decode_scenario(Cp932Codec& codec, std::string_view file_bytes, InputEncoding encoding,
                     DecodedScenario& decoded, std::string* error) {
  const auto unchanged = [&] {
    decoded.bytes.assign(file_bytes);
    decoded.was_utf8 = false;
    return true;
  };
  if (encoding == InputEncoding::SHIFT_JIS) return unchanged();
  std::string_view text = file_bytes;
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  // One pass when the file is UTF-8 that converts; the search for an ill-formed byte, which
  // outranks any character, runs only when the conversion fails.
  std::string refusal;
  if (codec.utf8_to_shift_jis(text, decoded.bytes, &refusal)) {
    decoded.was_utf8 = true;
    return true;
  }
  const std::size_t invalid = utf8::find_invalid(text);
  if (invalid != std::string_view::npos && encoding == InputEncoding::AUTO) return unchanged();
  decoded.was_utf8 = false;
  if (error != nullptr) {
    *error = invalid == std::string_view::npos ? std::move(refusal)
                                               : utf8::invalid_byte_message(text, invalid);
  }
  return false;
}

namespace {

// One line that does not convert, character by character.
void convert_line_leniently(Cp932Codec& codec, std::string_view line, int number, std::string& out,
                            std::vector<EncodingProblem>& problems) {
  std::string converted;
  std::string refusal;
  int column = 1;
  for (std::size_t offset = 0; offset < line.size(); ++column) {
    char32_t code_point = 0;
    const std::size_t length = std::max<std::size_t>(1, utf8::decode(line, offset, code_point));
    if (codec.utf8_to_shift_jis(line.substr(offset, length), converted, &refusal)) {
      out.append(converted);
    } else {
      // The message names the character's own one-character text as line 1.
      const std::size_t colon = refusal.find(": ");
      problems.push_back(EncodingProblem{
          number, column, colon == std::string::npos ? refusal : refusal.substr(colon + 2)});
      out.push_back('?');
    }
    offset += length;
  }
}

}  // namespace

bool decode_scenario_leniently(Cp932Codec& codec, std::string_view file_bytes,
                               InputEncoding encoding, DecodedScenario& decoded,
                               std::vector<EncodingProblem>& problems, std::string* error) {
  problems.clear();
  std::string refusal;
  if (decode_scenario(codec, file_bytes, encoding, decoded, &refusal)) return true;
  std::string_view text = file_bytes;
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  if (utf8::find_invalid(text) != std::string_view::npos) {
    if (error) *error = std::move(refusal);
    return false;
  }
  decoded.bytes.clear();
  decoded.was_utf8 = true;
  std::string converted;
  int number = 1;
  for (std::size_t start = 0; start <= text.size(); ++number) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    const std::string_view line = text.substr(start, end - start);
    if (codec.utf8_to_shift_jis(line, converted, nullptr)) {
      decoded.bytes.append(converted);
    } else {
      convert_line_leniently(codec, line, number, decoded.bytes, problems);
    }
    if (end < text.size()) decoded.bytes.push_back('\n');
    start = end + 1;
  }
  return true;
}

}  // namespace plotwright
