// Code page 932 conversion of single characters through Windows' own tables.
#include "encoding/cp932_win32.h"

#include <windows.h>

namespace plotwright {

namespace {

constexpr UINT kCodePage = 932;

// Bytes that the code page's published table leaves undefined and glibc refuses, but Windows'
// converter passes through as U+0080 and the private-use U+F8F0 to U+F8F3.
bool windows_only_byte(char byte) {
  const auto value = static_cast<unsigned char>(byte);
  return value == 0x80 || value == 0xA0 || value >= 0xFD;
}

class Win32Cp932Backend final : public Cp932Backend {
 public:
  // MB_ERR_INVALID_CHARS makes an invalid byte or a lead byte alone a failure instead of a
  // default character. Code page 932 has no character beyond the Basic Multilingual Plane, so
  // a code is exactly one character when it gives exactly one UTF-16 unit.
  bool decode(std::string_view code, char32_t& code_point) override {
    wchar_t wide[4];
    const int units = ::MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, code.data(),
                                            static_cast<int>(code.size()), wide, 4);
    if (units != 1 || (wide[0] >= 0xD800 && wide[0] <= 0xDFFF)) return false;
    if (code.size() == 1 && windows_only_byte(code[0])) return false;
    code_point = static_cast<char32_t>(wide[0]);
    return true;
  }

  // WC_NO_BEST_FIT_CHARS keeps Windows from giving a look-alike code; the default-character
  // flag tells a character that has no code at all.
  bool encode(char32_t code_point, ShiftJisCode& code) override {
    wchar_t wide[2];
    int units = 1;
    if (code_point >= 0x10000) {
      wide[0] = static_cast<wchar_t>(0xD800 + ((code_point - 0x10000) >> 10));
      wide[1] = static_cast<wchar_t>(0xDC00 + ((code_point - 0x10000) & 0x3FF));
      units = 2;
    } else {
      wide[0] = static_cast<wchar_t>(code_point);
    }
    char bytes[8];
    BOOL used_default = FALSE;
    const int length = ::WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide, units, bytes,
                                             sizeof bytes, nullptr, &used_default);
    if (used_default || length < 1 || length > 2) return false;
    if (length == 1 && windows_only_byte(bytes[0])) return false;
    code.length = static_cast<std::uint8_t>(length);
    code.bytes[0] = bytes[0];
    code.bytes[1] = length == 2 ? bytes[1] : '\0';
    return true;
  }
};

}  // namespace

bool open_win32_cp932_backend(std::unique_ptr<Cp932Backend>& backend, std::string* error) {
  if (!::IsValidCodePage(kCodePage)) {
    if (error != nullptr) *error = "this system has no code page 932 (Shift-JIS) converter";
    return false;
  }
  backend = std::make_unique<Win32Cp932Backend>();
  return true;
}

// This system's converter, in a build that compiles this file.
bool open_system_cp932_backend(std::unique_ptr<Cp932Backend>& backend, std::string* error) {
  return open_win32_cp932_backend(backend, error);
}

}  // namespace plotwright
