// Writes this system's code page 932 converter as a table, so that the Wine test can compare the
// Windows build's converter with the Linux build's code by code.
// Usage: cp932_dump OUTPUT_FILE
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "encoding/cp932_codec.h"

namespace {

using plotwright::Cp932Backend;

// "decode 82A0 U+3042" for every code of one or two bytes (not ASCII) that is a character.
void write_decodings(Cp932Backend& backend, std::FILE* out) {
  // 80 to FF, then the pairs, which start with a byte of 0x80 or more.
  for (unsigned code = 0x80; code <= 0xFFFF; code = code == 0xFF ? 0x8000 : code + 1) {
    const char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code)};
    const std::size_t length = code < 0x100 ? 1 : 2;
    char32_t code_point = 0;
    if (backend.decode(std::string_view(bytes + 2 - length, length), code_point)) {
      std::fprintf(out, "decode %02X U+%04X\n", code, static_cast<unsigned>(code_point));
    }
  }
}

// "encode U+3042 82A0" for every character (not ASCII) that has a code, best-fit codes too.
void write_encodings(Cp932Backend& backend, std::FILE* out) {
  for (char32_t code_point = 0x80; code_point <= 0x10FFFF; ++code_point) {
    if (code_point >= 0xD800 && code_point <= 0xDFFF) continue;
    plotwright::ShiftJisCode code;
    if (!backend.encode(code_point, code)) continue;
    std::fprintf(out, "encode U+%04X ", static_cast<unsigned>(code_point));
    for (int i = 0; i < code.length; ++i) {
      std::fprintf(out, "%02X", static_cast<unsigned char>(code.bytes[i]));
    }
    std::fputc('\n', out);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::unique_ptr<Cp932Backend> backend;
  std::string error;
  if (argc != 2 || !plotwright::open_system_cp932_backend(backend, &error)) {
    std::fprintf(stderr, "cp932_dump: %s\n",
                 argc != 2 ? "usage: cp932_dump OUTPUT" : error.c_str());
    return 2;
  }
  std::FILE* out = std::fopen(argv[1], "wb");
  if (out == nullptr) return 2;
  write_decodings(*backend, out);
  write_encodings(*backend, out);
  return std::fclose(out) == 0 ? 0 : 2;
}
