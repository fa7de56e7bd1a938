// Where a scenario's statistics file goes: a rule of names alone, which the engine and the
// front ends' file handling share.
#pragma once

#include <string>
#include <string_view>

namespace plotwright {

// The statistics file's path for a scenario path: the extension of the last component
// replaced by (or, without one, extended with) "vus". Works on bytes; any length.
std::string derive_statistics_path(std::string_view scenario_path);

}  // namespace plotwright
