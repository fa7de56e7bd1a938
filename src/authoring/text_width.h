// The width of UTF-8 text in a terminal's columns, for tables that line up: wide East Asian
// characters take two columns, everything else one.
#pragma once

#include <string>
#include <string_view>

namespace plotwright {

int display_width(std::string_view utf8);

// `utf8` followed by spaces up to `width` columns (nothing added when it is wider).
std::string pad_right(std::string_view utf8, int width);
// Spaces up to `width` columns, then `utf8`.
std::string pad_left(std::string_view utf8, int width);

}  // namespace plotwright
