// JSON strings written fast: stories run to hundreds of kilobytes per second of output, so the
// text of a story is escaped here rather than through a generic serializer. The result is
// byte for byte what nlohmann-json's dump() writes for the same UTF-8 string (a test holds the
// two equal), which the program uses for everything else it writes as JSON.
#pragma once

#include <string>
#include <string_view>

namespace plotwright {

// Appends `utf8` (valid UTF-8) to `out` as a JSON string, quotes included.
void append_json_string(std::string& out, std::string_view utf8);

}  // namespace plotwright
