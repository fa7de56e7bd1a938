// Writing JSON text: string escapes, runs of plain bytes copied whole, and separators.
#include "encoding/json_text.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "encoding/utf8.h"

namespace plotwright {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// The escape of each byte that needs one; empty for the bytes copied as they are.
using EscapeTable = std::array<std::string_view, 256>;

constexpr EscapeTable make_escapes() {
  EscapeTable table{};
  constexpr std::string_view kControls[32] = {
      "\\u0000", "\\u0001", "\\u0002", "\\u0003", "\\u0004", "\\u0005", "\\u0006", "\\u0007",
      "\\b",     "\\t",     "\\n",     "\\u000b", "\\f",     "\\r",     "\\u000e", "\\u000f",
      "\\u0010", "\\u0011", "\\u0012", "\\u0013", "\\u0014", "\\u0015", "\\u0016", "\\u0017",
      "\\u0018", "\\u0019", "\\u001a", "\\u001b", "\\u001c", "\\u001d", "\\u001e", "\\u001f"};
  for (int byte = 0; byte < 32; ++byte) table[byte] = kControls[byte];
  table['"'] = "\\\"";
  table['\\'] = "\\\\";
  return table;
}

constexpr EscapeTable kEscapes = make_escapes();
constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kLows = kOnes * 0x7F;
constexpr std::uint64_t kHighs = kOnes * 0x80;

// The bytes are looked at eight at a time, the first at the lowest bits.
static_assert(std::endian::native == std::endian::little);

// The high bit of each byte of `word` that needs an escape: below 0x20, '"' or '\\'. No sum
// carries into the next byte, so each bit is exact.
std::uint64_t escape_mask(std::uint64_t word) {
  const auto zero_bytes = [](std::uint64_t x) { return ~(((x & kLows) + kLows) | x | kLows); };
  const std::uint64_t below_space = ~(((word & kLows) + kOnes * 0x60) | word) & kHighs;
  return below_space | zero_bytes(word ^ (kOnes * '"')) | zero_bytes(word ^ (kOnes * '\\'));
}

// Appends well-formed UTF-8 with the bytes that need it escaped, without quotes.
void append_escaped(std::string& out, std::string_view utf8) {
  const char* const text = utf8.data();
  std::size_t run = 0;
  const auto escape_at = [&](std::size_t at) {
    out.append(text + run, at - run);
    out.append(kEscapes[static_cast<unsigned char>(text[at])]);
    run = at + 1;
  };
  std::size_t i = 0;
  for (; utf8.size() - i >= sizeof(std::uint64_t); i += sizeof(std::uint64_t)) {
    std::uint64_t word = 0;
    std::memcpy(&word, text + i, sizeof word);
    for (std::uint64_t mask = escape_mask(word); mask != 0; mask &= mask - 1) {
      escape_at(i + static_cast<std::size_t>(std::countr_zero(mask)) / 8);
    }
  }
  for (; i < utf8.size(); ++i) {
    if (!kEscapes[static_cast<unsigned char>(text[i])].empty()) escape_at(i);
  }
  out.append(text + run, utf8.size() - run);
}

}  // namespace

void append_json_string(std::string& out, std::string_view utf8) {
  out.reserve(out.size() + utf8.size() + 2);
  out.push_back('"');
  for (std::size_t bad = utf8::find_invalid(utf8); bad != std::string_view::npos;
       bad = utf8::find_invalid(utf8)) {
    append_escaped(out, utf8.substr(0, bad));
    out += kReplacement;
    utf8.remove_prefix(bad + 1);
  }
  append_escaped(out, utf8);
  out.push_back('"');
}

void JsonWriter::separate() {
  if (after_value_) out_ += ',';
  after_value_ = true;
}

JsonWriter& JsonWriter::open(char bracket) {
  separate();
  out_ += bracket;
  after_value_ = false;
  return *this;
}

JsonWriter& JsonWriter::close(char bracket) {
  out_ += bracket;
  after_value_ = true;
  return *this;
}

JsonWriter& JsonWriter::key(std::string_view name) {
  value(name);
  out_ += ':';
  after_value_ = false;
  return *this;
}

JsonWriter& JsonWriter::value(std::string_view text) {
  separate();
  append_json_string(out_, text);
  return *this;
}

JsonWriter& JsonWriter::value(int number) {
  separate();
  out_ += std::to_string(number);
  return *this;
}

JsonWriter& JsonWriter::raw(std::string_view json_text) {
  separate();
  out_ += json_text;
  return *this;
}

}  // namespace plotwright
