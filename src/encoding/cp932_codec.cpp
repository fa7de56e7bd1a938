// Code page 932 (Shift-JIS) to and from UTF-8 at memory speed: tables filled from a backend
// one code at a time, the first time a text holds it.
#include "encoding/cp932_codec.h"

#include <algorithm>
#include <cstring>

#include "encoding/utf8.h"

namespace plotwright {

namespace {

// An entry of decoded_: kNoCharacter, or the length of the character's UTF-8 in the top
// byte and, below it, its 1 to 3 bytes from the lowest up (or, for 4, the code point).
constexpr std::uint32_t kNoCharacter = 0xFFFFFFFF;
constexpr std::uint32_t kReplacementCharacter = 3u << 24 | 0xBD << 16 | 0xBF << 8 | 0xEF;

// An entry of encoded_: how the code point converts in the top byte; its code's length and
// bytes below (length << 16 | first byte << 8 | second byte).
constexpr std::uint32_t kExact = 1u << 24;   // comes back unchanged
constexpr std::uint32_t kLossy = 2u << 24;   // has a code that comes back as another
constexpr std::uint32_t kNoForm = 3u << 24;  // has no code
constexpr std::uint32_t kHowMask = 0xFFu << 24;

constexpr std::size_t kTableSize = 0x10000;
// Output bytes buffered before they go to the string: each code gives at most 4.
constexpr std::size_t kBufferSize = 16384;
// Input bytes converted to Shift-JIS between two resizes of the output.
constexpr std::size_t kBlockSize = 65536;

unsigned char byte_at(std::string_view text, std::size_t offset) {
  return static_cast<unsigned char>(text[offset]);
}

// Appends ASCII engine text with CR LF turned into LF.
void append_lines(std::string_view ascii, std::string& out) {
  while (!ascii.empty()) {
    const void* found = std::memchr(ascii.data(), '\r', ascii.size());
    if (found == nullptr) {
      out.append(ascii);
      return;
    }
    const auto cr = static_cast<std::size_t>(static_cast<const char*>(found) - ascii.data());
    const bool before_lf = cr + 1 < ascii.size() && ascii[cr + 1] == '\n';
    out.append(ascii.data(), before_lf ? cr : cr + 1);
    ascii.remove_prefix(cr + 1);
  }
}

bool fail(std::string* error, std::string message) {
  if (error != nullptr) *error = std::move(message);
  return false;
}

}  // namespace

Cp932Codec::Cp932Codec(std::unique_ptr<Cp932Backend> backend) : backend_(std::move(backend)) {}

bool Cp932Codec::open(std::optional<Cp932Codec>& codec, std::string* error) {
  std::unique_ptr<Cp932Backend> backend;
  if (!open_system_cp932_backend(backend, error)) return false;
  codec.emplace(std::move(backend));
  return true;
}

// ---------------------------------------------------------------------------------------------
// Shift-JIS to UTF-8

std::string Cp932Codec::engine_text_to_utf8(std::string_view engine_text) {
  std::string out;
  out.reserve(engine_text.size() + engine_text.size() / 2);
  char buffer[kBufferSize];
  std::size_t offset = 0;
  while (offset < engine_text.size()) {
    const std::size_t ascii = utf8::ascii_length(engine_text.substr(offset));
    append_lines(engine_text.substr(offset, ascii), out);
    offset += ascii;
    if (offset == engine_text.size()) break;
    const char* end = write_codes(engine_text, offset, buffer, buffer + sizeof buffer);
    out.append(buffer, static_cast<std::size_t>(end - buffer));
  }
  return out;
}

// Writes the UTF-8 of the codes from `offset` up to the next ASCII byte, or until the buffer
// is nearly full; moves `offset` past them.
char* Cp932Codec::write_codes(std::string_view text, std::size_t& offset, char* out,
                              const char* end) {
  if (decoded_.empty()) decoded_.assign(kTableSize, 0);
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const Entry* table = decoded_.data();
  std::size_t i = offset;
  while (i < text.size() && bytes[i] >= 0x80 && end - out >= 4) {
    Entry entry = table[bytes[i]];
    if (entry == 0) entry = ask_decode(bytes[i], text.substr(i, 1));
    std::size_t length = 1;
    if (entry == kNoCharacter && i + 1 < text.size()) {
      const std::size_t pair = std::size_t{bytes[i]} << 8 | bytes[i + 1];
      entry = table[pair];
      if (entry == 0) entry = ask_decode(pair, text.substr(i, 2));
      length = entry == kNoCharacter ? 1 : 2;
    }
    if (entry == kNoCharacter) entry = kReplacementCharacter;
    if (entry >> 24 == 4) {
      out = utf8::write(entry & 0x1FFFFF, out);
    } else {
      out[0] = static_cast<char>(entry);
      out[1] = static_cast<char>(entry >> 8);
      out[2] = static_cast<char>(entry >> 16);
      out += entry >> 24;
    }
    i += length;
  }
  offset = i;
  return out;
}

// The code point of a code of 1 or 2 bytes, or kNoCharacter; `index` is the code's number.
char32_t Cp932Codec::decoded(std::size_t index, std::string_view code) {
  const Entry entry = decoded_[index];
  return code_point_of(entry == 0 ? ask_decode(index, code) : entry);
}

// The code point of a filled entry of the decoding table.
char32_t Cp932Codec::code_point_of(Entry entry) {
  if (entry == kNoCharacter) return kNoCharacter;
  if (entry >> 24 == 4) return entry & 0x1FFFFF;
  const char bytes[4] = {static_cast<char>(entry), static_cast<char>(entry >> 8),
                         static_cast<char>(entry >> 16), 0};
  char32_t code_point = 0;
  utf8::decode(std::string_view(bytes, entry >> 24), 0, code_point);
  return code_point;
}

// Fills the decoding table's entry of a code from the backend.
Cp932Codec::Entry Cp932Codec::ask_decode(std::size_t index, std::string_view code) {
  char32_t code_point = 0;
  char bytes[4];
  Entry& entry = decoded_[index];
  if (!backend_->decode(code, code_point) || code_point > 0x10FFFF ||
      (code_point >= 0xD800 && code_point <= 0xDFFF)) {
    return entry = kNoCharacter;
  }
  const auto length = static_cast<Entry>(utf8::write(code_point, bytes) - bytes);
  if (length == 4) return entry = 4u << 24 | code_point;
  entry = length << 24;
  for (Entry k = 0; k < length; ++k) entry |= Entry{static_cast<unsigned char>(bytes[k])} << 8 * k;
  return entry;
}

// ---------------------------------------------------------------------------------------------
// UTF-8 to Shift-JIS

bool Cp932Codec::utf8_to_shift_jis(std::string_view utf8, std::string& shift_jis,
                                   std::string* error) {
  // No character takes more bytes in Shift-JIS than in UTF-8. The memory reserved is only
  // touched a block at a time, so that a text refused early costs little.
  shift_jis.clear();
  shift_jis.reserve(utf8.size() + 3);
  std::size_t first_lossy = std::string_view::npos;
  for (std::size_t offset = 0; offset < utf8.size();) {
    // The last character may run past `end`.
    const std::size_t end = std::min(utf8.size(), offset + kBlockSize);
    const std::size_t written = shift_jis.size();
    shift_jis.resize(written + (end - offset) + 3);
    char* out = shift_jis.data() + written;
    const bool whole = encode_block(utf8, offset, end, out, first_lossy);
    shift_jis.resize(static_cast<std::size_t>(out - shift_jis.data()));
    if (!whole) {
      shift_jis.clear();
      return refuse(utf8, offset, error);
    }
  }
  if (first_lossy == std::string_view::npos) return true;
  shift_jis.clear();
  return refuse(utf8, first_lossy, error);
}

// Converts the characters that start before `end`, moving `offset` and `out` past them and
// noting the first lossy one. False when it stops at one that is ill-formed or has no form.
bool Cp932Codec::encode_block(std::string_view utf8, std::size_t& offset, std::size_t end,
                              char*& out, std::size_t& first_lossy) {
  while (offset < end) {
    if (byte_at(utf8, offset) < 0x80) {
      const std::size_t ascii = utf8::ascii_length(utf8.substr(offset, end - offset));
      out = std::copy_n(utf8.data() + offset, ascii, out);
      offset += ascii;
      continue;
    }
    char32_t code_point = 0;
    const std::size_t length = utf8::decode(utf8, offset, code_point);
    const Entry entry = length == 0 ? 0 : encoded(code_point);
    if (entry == 0 || (entry & kHowMask) == kNoForm) return false;
    if ((entry & kHowMask) == kLossy && first_lossy == std::string_view::npos) {
      first_lossy = offset;
    }
    if ((entry >> 16 & 3) == 2) *out++ = static_cast<char>(entry >> 8 & 0xFF);
    *out++ = static_cast<char>(entry & 0xFF);
    offset += length;
  }
  return true;
}

// How a code point converts. Code points beyond the Basic Multilingual Plane are asked
// afresh each time: code page 932 has none, so the first one ends the conversion.
Cp932Codec::Entry Cp932Codec::encoded(char32_t code_point) {
  if (code_point >= kTableSize) return classify(code_point);
  if (encoded_.empty()) encoded_.assign(kTableSize, 0);
  Entry& entry = encoded_[code_point];
  if (entry == 0) entry = classify(code_point);
  return entry;
}

Cp932Codec::Entry Cp932Codec::classify(char32_t code_point) {
  ShiftJisCode code;
  if (!backend_->encode(code_point, code) || code.length < 1 || code.length > 2) return kNoForm;
  if (decoded_.empty()) decoded_.assign(kTableSize, 0);
  const auto first = static_cast<unsigned char>(code.bytes[0]);
  const auto second = static_cast<unsigned char>(code.bytes[1]);
  const std::size_t index = code.length == 1 ? first : std::size_t{first} << 8 | second;
  const char32_t back = decoded(index, code.view());
  if (back == kNoCharacter) return kNoForm;
  const Entry bytes =
      code.length == 1 ? Entry{1} << 16 | first : Entry{2} << 16 | Entry{first} << 8 | second;
  return (back == code_point ? kExact : kLossy) | bytes;
}

// The message for the character at `offset`: ill-formed, without a code, or lossy.
bool Cp932Codec::refuse(std::string_view utf8, std::size_t offset, std::string* error) {
  char32_t code_point = 0;
  if (utf8::decode(utf8, offset, code_point) == 0) {
    return fail(error, utf8::invalid_byte_message(utf8, offset));
  }
  const Entry entry = encoded(code_point);
  std::string message = "line " + std::to_string(utf8::line_number_at(utf8, offset)) +
                        ": character " + utf8::describe(code_point) + " has no Shift-JIS form";
  if ((entry & kHowMask) == kLossy) {
    // classify() decoded the code to find the character lossy: its entry is filled.
    const bool pair = (entry >> 16 & 3) == 2;
    const char32_t back = code_point_of(decoded_[pair ? (entry & 0xFFFF) : (entry & 0xFF)]);
    message += " of its own (it would come back as " + utf8::describe(back) + ")";
  }
  return fail(error, std::move(message));
}

}  // namespace plotwright
