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
  const std::size_t invalid = utf8::find_invalid(text);
  if (invalid == std::string_view::npos) {
    decoded.was_utf8 = codec.utf8_to_shift_jis(text, decoded.bytes, error);
    return decoded.was_utf8;
  }
  if (encoding == InputEncoding::kAuto) return unchanged();
  decoded.bytes.clear();
  decoded.was_utf8 = false;
  if (error != nullptr) *error = utf8::invalid_byte_message(text, invalid);
  return false;
}

}  // namespace plotwright
