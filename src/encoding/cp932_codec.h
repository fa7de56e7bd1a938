// Code page 932 (Shift-JIS) to and from UTF-8 at memory speed: tables filled from a backend
// one code at a time, the first time a text holds it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "encoding/cp932_backend.h"

namespace plotwright {

// A front end opens one codec and hands it to every conversion. The codec keeps what the
// backend has told it, so it is not safe to use from two threads at once. ASCII is copied
// without asking; a text of ASCII alone costs no call to the backend and no table.
class Cp932Codec {
 public:
  explicit Cp932Codec(std::unique_ptr<Cp932Backend> backend);

  // A codec over this system's converter (open_system_cp932_backend). False, with the reason in
  // `error` when it is not null, when the system has none.
  [[nodiscard]] static bool open(std::optional<Cp932Codec>& codec, std::string* error);

  // Engine text (Shift-JIS, CR LF) as UTF-8 with LF line ends; a CR without an LF stays. Each
  // byte that starts no valid code becomes U+FFFD, and the byte after it starts afresh: a
  // stray lead byte does not swallow the ASCII character behind it.
  std::string engine_text_to_utf8(std::string_view engine_text);

  // `utf8` in Shift-JIS, in `shift_jis`. A character converts only when it comes back
  // unchanged. False, with a message naming the line and the character in `error`:
  //   "line 2: character U+1F600 (😀) has no Shift-JIS form" for the first character that has
  //   no code at all, else "line 3: character U+301C (〜) has no Shift-JIS form of its own
  //   (it would come back as U+FF5E (～))" for the first that would come back as another.
  // An ill-formed byte met before the character is refused as "line 1: byte 0x82 is not
  // valid UTF-8"; a caller that puts ill-formed bytes first checks the whole text itself
  // after a failure (utf8::find_invalid). `shift_jis` is empty after a failure.
  [[nodiscard]] bool utf8_to_shift_jis(std::string_view utf8, std::string& shift_jis,
                                       std::string* error);

 private:
  // Table entries: 0 for a code or code point not asked about yet.
  using Entry = std::uint32_t;

  char* write_codes(std::string_view text, std::size_t& offset, char* out, const char* end);
  char32_t decoded(std::size_t index, std::string_view code);
  static char32_t code_point_of(Entry entry);
  Entry ask_decode(std::size_t index, std::string_view code);
  bool encode_block(std::string_view utf8, std::size_t& offset, std::size_t end, char*& out,
                    std::size_t& first_lossy);
  Entry encoded(char32_t code_point);
  Entry classify(char32_t code_point);
  [[nodiscard]] bool refuse(std::string_view utf8, std::size_t offset, std::string* error);

  std::unique_ptr<Cp932Backend> backend_;
  // By code (a single byte b at index b, a pair at lead * 256 + trail): the character's
  // UTF-8, or kNoCharacter (see cp932_codec.cpp). Empty until the first byte that is not ASCII.
  std::vector<Entry> decoded_;
  // By code point of the Basic Multilingual Plane: how it converts (see cp932_codec.cpp).
  // Empty until the first character that is not ASCII.
  std::vector<Entry> encoded_;
};

}  // namespace plotwright
