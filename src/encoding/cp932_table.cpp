// The code page 932 backend over the generated tables: a lookup per question, which the codec
// asks once per code.
#include "encoding/cp932_table.h"

#include <algorithm>

namespace plotwright {

namespace {

using cp932_table::kNone;

class TableCp932Backend final : public Cp932Backend {
 public:
  bool decode(std::string_view code, char32_t& code_point) override {
    const auto first = code.empty() ? 0u : static_cast<unsigned char>(code[0]);
    if (code.size() == 1) {
      if (first < 0x80) return code_point = first, true;
      const std::uint32_t found = cp932_table::kSingleBytes[first - 0x80];
      return found != kNone && (code_point = found, true);
    }
    if (code.size() != 2) return false;
    const auto pair = static_cast<std::uint16_t>(first << 8 | static_cast<unsigned char>(code[1]));
    const cp932_table::Pair* end = cp932_table::kPairs + cp932_table::kPairCount;
    const auto* found = std::lower_bound(
        cp932_table::kPairs, end, pair,
        [](const cp932_table::Pair& entry, std::uint16_t wanted) { return entry.code < wanted; });
    return found != end && found->code == pair && (code_point = found->code_point, true);
  }

  bool encode(char32_t code_point, ShiftJisCode& code) override {
    if (code_point < 0x80) {
      code.length = 1;
      code.bytes[0] = static_cast<char>(code_point);
      return true;
    }
    const cp932_table::Encoding* end = cp932_table::kEncodings + cp932_table::kEncodingCount;
    const auto* found = std::lower_bound(cp932_table::kEncodings, end, code_point,
                                         [](const cp932_table::Encoding& entry, char32_t wanted) {
                                           return entry.code_point < wanted;
                                         });
    if (found == end || found->code_point != code_point) return false;
    code.length = found->length;
    code.bytes[0] = static_cast<char>(found->length == 1 ? found->code : found->code >> 8);
    code.bytes[1] = static_cast<char>(found->code & 0xFF);
    return true;
  }
};

}  // namespace

std::unique_ptr<Cp932Backend> make_table_cp932_backend() {
  return std::make_unique<TableCp932Backend>();
}

}  // namespace plotwright
