// Whole-text conversion through glibc's iconv, the way the program converted before it had
// tables: the oracle that the codec is held to by the differential test and the fuzzer.
#pragma once

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>
#include <string_view>

#include "encoding/scenario_encoding.h"

namespace plotwright::testing {

class IconvReference {
 public:
  IconvReference() = default;
  ~IconvReference() {
    for (iconv_t cd : {to_sjis_, to_utf8_, to_utf32_}) iconv_close(cd);
  }
  IconvReference(const IconvReference&) = delete;
  IconvReference& operator=(const IconvReference&) = delete;

  std::string engine_text_to_utf8(std::string_view text) {
    std::string converted;
    for (std::size_t failed; (failed = convert(to_utf8_, text, &converted)) != kAll;) {
      converted += "\xEF\xBF\xBD";
      text.remove_prefix(failed + 1);
    }
    std::string out;
    for (std::size_t i = 0; i < converted.size(); ++i) {
      if (converted[i] != '\r' || i + 1 == converted.size() || converted[i + 1] != '\n') {
        out += converted[i];
      }
    }
    return out;
  }

  // Fills `bytes` or `error` as decode_scenario does; returns what it would.
  bool decode_scenario(std::string_view file, InputEncoding encoding, std::string& bytes,
                       std::string& error) {
    bytes.assign(file);
    if (encoding == InputEncoding::SHIFT_JIS) return true;
    std::string_view text = file;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    if (const std::size_t bad = convert(to_utf32_, text, nullptr); bad != kAll) {
      if (encoding == InputEncoding::AUTO) return true;
      char hex[8];
      std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned char>(text[bad]));
      error = line(text, bad) + "byte " + hex + " is not valid UTF-8";
      return false;
    }
    bytes.clear();
    if (const std::size_t bad = convert(to_sjis_, text, &bytes); bad != kAll) {
      error = line(text, bad) + "character " + describe(character(text, bad)) +
              " has no Shift-JIS form";
      return false;
    }
    std::string back;
    if (convert(to_utf8_, bytes, &back) == kAll && back == text) return true;
    for (std::size_t offset = 0;; offset += character(text, offset).size()) {
      std::string sjis, one_back;
      convert(to_sjis_, character(text, offset), &sjis);
      convert(to_utf8_, sjis, &one_back);
      if (one_back == character(text, offset)) continue;
      error = line(text, offset) + "character " + describe(character(text, offset)) +
              " has no Shift-JIS form of its own (it would come back as " + describe(one_back) +
              ")";
      return false;
    }
  }

 private:
  static constexpr std::size_t kAll = std::string_view::npos;

  // The offset of the first byte iconv cannot convert, or kAll; appends the output.
  static std::size_t convert(iconv_t cd, std::string_view in, std::string* out) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in_ptr = const_cast<char*>(in.data());
    std::size_t in_left = in.size();
    char buffer[4096];
    while (in_left > 0) {
      char* out_ptr = buffer;
      std::size_t out_left = sizeof buffer;
      const bool stopped = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) == std::size_t(-1);
      const bool full = stopped && errno == E2BIG;
      if (out != nullptr) out->append(buffer, static_cast<std::size_t>(out_ptr - buffer));
      if (stopped && !full) return in.size() - in_left;
    }
    return kAll;
  }

  static std::string_view character(std::string_view text, std::size_t offset) {
    std::size_t end = offset + 1;
    while (end < text.size() && (text[end] & 0xC0) == 0x80) ++end;
    return text.substr(offset, end - offset);
  }

  static std::string line(std::string_view text, std::size_t offset) {
    return "line " + std::to_string(1 + std::count(text.begin(), text.begin() + offset, '\n')) +
           ": ";
  }

  std::string describe(std::string_view character) {
    std::string utf32;
    convert(to_utf32_, character, &utf32);
    unsigned code_point = 0;
    for (std::size_t i = utf32.size(); i-- > 0;) {
      code_point = code_point << 8 | static_cast<unsigned char>(utf32[i]);
    }
    char number[16];
    std::snprintf(number, sizeof number, "U+%04X", code_point);
    return std::string(number) + " (" + std::string(character) + ")";
  }

  iconv_t to_sjis_ = iconv_open("CP932", "UTF-8");
  iconv_t to_utf8_ = iconv_open("UTF-8", "CP932");
  iconv_t to_utf32_ = iconv_open("UTF-32LE", "UTF-8");
};

}  // namespace plotwright::testing
