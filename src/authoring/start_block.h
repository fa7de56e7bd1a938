// Finding the block that --start names, and the names nearest to one that names none.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "analysis/scenario_analysis.h"
#include "authoring/nearest_names.h"
#include "encoding/cp932_codec.h"

namespace plotwright {

// The scene --start `wanted` (UTF-8) begins at: the scene a jump to that name reaches, else the
// first block of that name (also beyond the 10000 scenes that names reach), else, for decimal
// digits, that scene number, in `scene`. False, with a message naming the nearest block names
// in `error`, when there is no such block or scene.
[[nodiscard]] bool find_start_scene(std::string_view wanted, const ScenarioAnalysis& analysis,
                                    Cp932Codec& codec, int& scene, std::string* error);

}  // namespace plotwright
