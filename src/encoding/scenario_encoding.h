// Text encodings at the front ends' boundary: scenario files may be UTF-8 or Shift-JIS; the
// engine works on Shift-JIS (code page 932) bytes; people read UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace plotwright {

enum class InputEncoding { kAuto, kShiftJis, kUtf8 };

// Parses "auto", "shift_jis" or "utf-8"; false for anything else.
bool parse_input_encoding(std::string_view name, InputEncoding& out);

struct DecodeResult {
  bool ok = false;
  bool was_utf8 = false;  // the file was read as UTF-8 and converted
  std::string bytes;      // the engine's bytes (Shift-JIS) when ok
  // When not ok: a message naming the line (1-based) and the character that cannot be
  // represented losslessly in Shift-JIS, e.g. "line 3: character U+1F600 (😀) has no
  // Shift-JIS form". The caller prefixes the file's name.
  std::string error;
};

// Turns a scenario file's bytes into engine bytes. kAuto: valid UTF-8 (a leading byte-order
// mark is dropped) is converted from UTF-8; anything else is taken as Shift-JIS unchanged.
// A UTF-8 file converts only when every character round-trips through Shift-JIS.
DecodeResult decode_scenario(std::string_view file_bytes, InputEncoding encoding);

// Engine text (Shift-JIS, CR LF) to UTF-8 with LF line ends; the full-width space becomes
// U+3000. Bytes that are not valid Shift-JIS become U+FFFD, never dropped silently.
std::string engine_text_to_utf8(std::string_view engine_text);

}  // namespace plotwright
