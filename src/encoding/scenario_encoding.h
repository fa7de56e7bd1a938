// Text encodings at the front ends' boundary: scenario files may be UTF-8 or Shift-JIS; the
// engine works on Shift-JIS (code page 932) bytes; people read UTF-8, which the codec gives
// (Cp932Codec::engine_text_to_utf8).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "encoding/cp932_codec.h"

namespace plotwright {

enum class InputEncoding { AUTO, SHIFT_JIS, UTF8 };

// Parses "auto", "shift_jis" or "utf-8"; false for anything else.
[[nodiscard]] bool parse_input_encoding(std::string_view name, InputEncoding& out);

// A scenario file made ready for the engine.
struct DecodedScenario {
  std::string bytes;      // the engine's bytes (Shift-JIS)
  bool was_utf8 = false;  // the file was read as UTF-8 and converted
};

// Turns a scenario file's bytes into engine bytes. AUTO: well-formed UTF-8 (a leading
// byte-order mark is dropped) is converted from UTF-8; anything else is taken as Shift-JIS
// unchanged. UTF8 refuses the first ill-formed byte: "line 3: byte 0x82 is not valid UTF-8".
// A UTF-8 file converts only when every character comes back unchanged from Shift-JIS; else
// false with the codec's message naming the line and the character. The caller prefixes the
// file's name to the message in `error` (when it is not null).
[[nodiscard]] bool decode_scenario(Cp932Codec& codec, std::string_view file_bytes,
                                   InputEncoding encoding, DecodedScenario& decoded,
                                   std::string* error);

// A character that decode_scenario would refuse, where it stands in the file.
struct EncodingProblem {
  int line = 0;         // 1-based
  int column = 0;       // 1-based, in characters
  std::string message;  // "character U+2615 (☕) has no Shift-JIS form"
};

// For the author tools, which describe a scenario even while it has such characters: decodes
// as decode_scenario does, but each character with no Shift-JIS form of its own becomes '?'
// (so that every other character keeps its line and column) and is listed in `problems`.
// False, with the message in `error`, only when UTF8 meets a file that is not UTF-8.
[[nodiscard]] bool decode_scenario_leniently(Cp932Codec& codec, std::string_view file_bytes,
                                             InputEncoding encoding, DecodedScenario& decoded,
                                             std::vector<EncodingProblem>& problems,
                                             std::string* error);

}  // namespace plotwright
