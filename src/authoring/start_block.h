// Finding the block that --start names, and the names nearest to one that names none.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "analysis/scenario_analysis.h"
#include "encoding/cp932_codec.h"

namespace plotwright {

// The scene --start `wanted` (UTF-8) begins at: the scene a jump to that name reaches, else the
// first block of that name (also beyond the 10000 scenes that names reach), else, for decimal
// digits, that scene number, in `scene`. False, with a message naming the nearest block names
// in `error`, when there is no such block or scene.
[[nodiscard]] bool find_start_scene(std::string_view wanted, const ScenarioAnalysis& analysis,
                                    Cp932Codec& codec, int& scene, std::string* error);

// The edit distance (insertions, deletions, substitutions of characters) between two UTF-8
// texts, ASCII letters compared without case.
int edit_distance(std::string_view a, std::string_view b);

// Up to `limit` of `names` nearest to `wanted`, the nearest first; of equally near names, those
// that begin with `wanted` first, then in their order in `names`; each name once.
std::vector<std::string> nearest_names(std::string_view wanted,
                                       const std::vector<std::string>& names, std::size_t limit);

}  // namespace plotwright
