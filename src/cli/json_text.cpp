// Escaping a UTF-8 string for JSON: the encoding layer's writer.
#include "cli/json_text.h"

#include "encoding/json_text.h"

namespace plotwright::cli {

void append_json_string(std::string& out, std::string_view utf8) {
  plotwright::append_json_string(out, utf8);
}

}  // namespace plotwright::cli
