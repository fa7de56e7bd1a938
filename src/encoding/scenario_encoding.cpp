// Reading scenario files as UTF-8 or Shift-JIS, by request or by detection.
#include "encoding/scenario_encoding.h"

#include "encoding/utf8.h"

namespace plotwright {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

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

bool decode_scenario(Cp932Codec& codec, std::string_view file_bytes, InputEncoding encoding,
                     DecodedScenario& decoded, std::string* error) {
  const auto unchanged = [&] {
    decoded.bytes.assign(file_bytes);
    decoded.was_utf8 = false;
    return true;
  };
  if (encoding == InputEncoding::kShiftJis) return unchanged();
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
  if (invalid != std::string_view::npos && encoding == InputEncoding::kAuto) return unchanged();
  decoded.was_utf8 = false;
  if (error != nullptr) {
    *error = invalid == std::string_view::npos ? std::move(refusal)
                                               : utf8::invalid_byte_message(text, invalid);
  }
  return false;
}

}  // namespace plotwright
