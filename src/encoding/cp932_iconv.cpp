// Code page 932 conversion of single characters through glibc's iconv ("CP932").
#include "encoding/cp932_iconv.h"

#include <iconv.h>

namespace plotwright {

namespace {

const iconv_t kNoDescriptor = reinterpret_cast<iconv_t>(-1);

class IconvCp932Backend final : public Cp932Backend {
 public:
  IconvCp932Backend(iconv_t to_unicode, iconv_t from_unicode)
      : to_unicode_(to_unicode), from_unicode_(from_unicode) {}
  ~IconvCp932Backend() override {
    iconv_close(to_unicode_);
    iconv_close(from_unicode_);
  }
  IconvCp932Backend(const IconvCp932Backend&) = delete;
  IconvCp932Backend& operator=(const IconvCp932Backend&) = delete;

  bool decode(std::string_view code, char32_t& code_point) override {
    unsigned char utf32[8];
    if (convert(to_unicode_, code, utf32, sizeof utf32) != 4) return false;
    code_point = 0;
    for (int i = 3; i >= 0; --i) code_point = code_point << 8 | utf32[i];
    return true;
  }

  bool encode(char32_t code_point, ShiftJisCode& code) override {
    const char utf32[4] = {static_cast<char>(code_point & 0xFF),
                           static_cast<char>(code_point >> 8 & 0xFF),
                           static_cast<char>(code_point >> 16 & 0xFF), 0};
    unsigned char bytes[8];
    // iconv drops some characters without a word (the tag characters U+E0000 to U+E007F):
    // an empty result is no code.
    const std::size_t length = convert(from_unicode_, {utf32, 4}, bytes, sizeof bytes);
    if (length < 1 || length > 2) return false;
    code.length = static_cast<std::uint8_t>(length);
    code.bytes[0] = static_cast<char>(bytes[0]);
    code.bytes[1] = static_cast<char>(bytes[1]);
    return true;
  }

 private:
  // Converts all of `in` in one call: the number of bytes written, or 0 when iconv stops
  // before the end (an invalid, incomplete or unconvertible input, or no room).
  static std::size_t convert(iconv_t cd, std::string_view in, unsigned char* out,
                             std::size_t capacity) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in_ptr = const_cast<char*>(in.data());
    std::size_t in_left = in.size();
    char* out_ptr = reinterpret_cast<char*>(out);
    std::size_t out_left = capacity;
    if (iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) == static_cast<std::size_t>(-1) ||
        in_left != 0) {
      return 0;
    }
    return capacity - out_left;
  }

  iconv_t to_unicode_;
  iconv_t from_unicode_;
};

bool cannot_convert(const char* from, const char* to, std::string* error) {
  if (error != nullptr) *error = std::string("iconv cannot convert from ") + from + " to " + to;
  return false;
}

}  // namespace

bool open_iconv_cp932_backend(std::unique_ptr<Cp932Backend>& backend, std::string* error) {
  return open_iconv_backend("CP932", backend, error);
}

bool open_iconv_backend(const char* charset, std::unique_ptr<Cp932Backend>& backend,
                        std::string* error) {
  const iconv_t to_unicode = iconv_open("UTF-32LE", charset);
  if (to_unicode == kNoDescriptor) return cannot_convert(charset, "UTF-32LE", error);
  const iconv_t from_unicode = iconv_open(charset, "UTF-32LE");
  if (from_unicode == kNoDescriptor) {
    iconv_close(to_unicode);
    return cannot_convert("UTF-32LE", charset, error);
  }
  backend = std::make_unique<IconvCp932Backend>(to_unicode, from_unicode);
  return true;
}

// This system's converter, in a build that compiles this file.
bool open_system_cp932_backend(std::unique_ptr<Cp932Backend>& backend, std::string* error) {
  return open_iconv_cp932_backend(backend, error);
}

}  // namespace plotwright
