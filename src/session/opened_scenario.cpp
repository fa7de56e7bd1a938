// A scenario's bytes made ready for the engine.
#include "session/opened_scenario.h"

#include <utility>

#include "base/limits.h"
#include "base/text.h"

namespace plotwright::session {

bool scenario_size_allowed(std::size_t size, std::string* error) {
  if (size <= kMaxScenarioBytes) return true;
  if (error) *error = "the scenario " + too_long_message();
  return false;
}

bool scenario_from_bytes(std::string_view bytes, InputEncoding encoding, OpenedScenario& scenario,
                         std::string* error) {
  if (!scenario_size_allowed(bytes.size(), error)) return false;
  scenario = OpenedScenario{};
  scenario.file_bytes.assign(bytes);
  scenario.encoding = encoding;
  return true;
}

bool decode(Cp932Codec& codec, OpenedScenario& scenario, std::string* error) {
  DecodedScenario decoded;
  if (!decode_scenario(codec, scenario.file_bytes, scenario.encoding, decoded, error)) {
    return false;
  }
  scenario.engine_bytes = std::move(decoded.bytes);
  return true;
}

}  // namespace plotwright::session
