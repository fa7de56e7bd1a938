// Code page 932 from tables that the build generated from glibc's iconv, for platforms whose C
// library has no CP932 converter (the browser): the same answers, code for code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "encoding/cp932_backend.h"

namespace plotwright {

namespace cp932_table {

constexpr std::uint32_t kNone = 0xFFFFFFFF;

// A code of two bytes (lead * 256 + trail) and the one code point it decodes to.
struct Pair {
  std::uint16_t code;
  std::uint32_t code_point;
};

// A code point and the code iconv gives it: one byte (`code` < 0x100, `length` 1) or two.
struct Encoding {
  std::uint32_t code_point;
  std::uint16_t code;
  std::uint8_t length;
};

// The generated tables (make_cp932_table.cpp writes them). Bytes 0x00 to 0x7F are ASCII both
// ways and are in no table; every other code and code point is in its table or has none.
extern const std::uint32_t kSingleBytes[128];  // bytes 0x80 to 0xFF: code point or kNone
extern const Pair kPairs[];                    // by code, ascending
extern const std::size_t kPairCount;
extern const Encoding kEncodings[];  // by code point, ascending, from 0x80
extern const std::size_t kEncodingCount;

}  // namespace cp932_table

// A backend that answers from the generated tables.
std::unique_ptr<Cp932Backend> make_table_cp932_backend();

}  // namespace plotwright
