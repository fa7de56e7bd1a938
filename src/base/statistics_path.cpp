// The statistics file's name beside its scenario.
#include "base/statistics_path.h"

namespace plotwright {

std::string derive_statistics_path(std::string_view scenario_path) {
  std::string path(scenario_path.substr(0, scenario_path.find('\0')));
  for (std::size_t i = path.size(); i-- > 0;) {
    const char byte = path[i];
    if (byte == '.') return path.substr(0, i + 1) + "vus";
    if (byte == '\\' || byte == ':' || byte == '/') break;
  }
  return path + ".vus";
}

}  // namespace plotwright
