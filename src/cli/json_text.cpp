// Escaping a UTF-8 string for JSON: runs of plain bytes are copied whole.
#include "cli/json_text.h"

#include <array>

namespace plotwright::cli {

namespace {

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

}  // namespace

void append_json_string(std::string& out, std::string_view utf8) {
  out.reserve(out.size() + utf8.size() + 2);
  out.push_back('"');
  std::size_t run = 0;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const std::string_view escape = kEscapes[static_cast<unsigned char>(utf8[i])];
    if (escape.empty()) continue;
    out.append(utf8.data() + run, i - run);
    out.append(escape);
    run = i + 1;
  }
  out.append(utf8.data() + run, utf8.size() - run);
  out.push_back('"');
}

}  // namespace plotwright::cli
