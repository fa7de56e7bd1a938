// Encoding conversion at the front ends (to be filled in).
#include "encoding/scenario_encoding.h"

namespace plotwright {

bool parse_input_encoding(std::string_view name, InputEncoding& out) {
  if (name == "auto") out = InputEncoding::kAuto;
  else if (name == "shift_jis") out = InputEncoding::kShiftJis;
  else if (name == "utf-8") out = InputEncoding::kUtf8;
  else return false;
  return true;
}

DecodeResult decode_scenario(std::string_view file_bytes, InputEncoding) {
  return DecodeResult{true, false, std::string(file_bytes), {}};
}

std::string engine_text_to_utf8(std::string_view engine_text) { return std::string(engine_text); }

}  // namespace plotwright
