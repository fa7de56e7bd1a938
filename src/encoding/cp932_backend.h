// The seam between the conversion tables and a platform's code page 932 converter: one
// character at a time, in either direction.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace plotwright {

// One Shift-JIS code: a single byte, or a lead byte and a trail byte.
struct ShiftJisCode {
  std::uint8_t length = 0;  // 1 or 2
  char bytes[2] = {};

  std::string_view view() const { return {bytes, length}; }
};

// Converts single characters between code page 932 (Shift-JIS with the Windows extensions)
// and Unicode. Implementations: glibc's iconv (cp932_iconv.h), Windows' tables
// (cp932_win32.h) and the tables generated from iconv (cp932_table.h). Every implementation must
// map the bytes 0x00 to 0x7F to U+0000 to U+007F and back, as code page 932 does: the codec copies
// ASCII without asking. The single bytes 0x80, 0xA0 and 0xFD to 0xFF are no characters, as in the
// code page's published table, so that a story's bytes are the same on every system. Calls may be
// slow; the codec asks once per code and keeps the answer.
class Cp932Backend {
 public:
  virtual ~Cp932Backend() = default;

  // The code point of `code`, 1 or 2 bytes taken as one whole code. False when they are not
  // exactly one character: an invalid byte, a lead byte alone, a pair that is no character,
  // or two single-byte characters.
  [[nodiscard]] virtual bool decode(std::string_view code, char32_t& code_point) = 0;

  // The code of a Unicode scalar value. False when code page 932 has none: the converter
  // refuses it, or would drop it silently. A best-fit code, one that decodes to another code
  // point, is given as it is; the codec tells it apart.
  [[nodiscard]] virtual bool encode(char32_t code_point, ShiftJisCode& code) = 0;
};

// Opens this system's code page 932 converter: Windows' tables in a Windows build, the
// generated tables in WebAssembly (whose C library has no CP932), glibc's iconv elsewhere.
// False, with the reason in `error` when it is not null, when it has none. The build picks the
// one definition: each backend's source file has it, but for the tables, which a regular build
// keeps beside iconv and whose definition is cp932_table_system.cpp.
[[nodiscard]] bool open_system_cp932_backend(std::unique_ptr<Cp932Backend>& backend,
                                             std::string* error);

}  // namespace plotwright
