// Resolving --start against the compiled scenario.
#include "authoring/start_block.h"

#include "compiler/scene_table.h"

namespace plotwright {

namespace {

constexpr std::size_t kNearestShown = 5;

// Decimal digits that fit an int: a scene number.
bool parse_scene_number(std::string_view text, int& number) {
  if (text.empty() || text.size() > 9) return false;
  number = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + (c - '0');
  }
  return true;
}

int scene_of_name(std::string_view wanted, const ScenarioAnalysis& analysis, Cp932Codec& codec) {
  std::string engine_name;
  if (!codec.utf8_to_shift_jis(wanted, engine_name, nullptr)) return 0;
  const int found = find_name(engine_name.c_str(), analysis.scenario().scenes);
  if (found != 0) return found;
  for (const ModelBlock& block : analysis.model().blocks) {
    if (block.scene != 0 && block.name == engine_name) return block.scene;
  }
  return 0;
}

std::string no_such_block(std::string_view wanted, const ScenarioAnalysis& analysis,
                          Cp932Codec& codec) {
  std::vector<std::string> names;
  for (const ModelBlock& block : analysis.model().blocks) {
    if (block.scene != 0 && !block.name.empty()) {
      names.push_back(codec.engine_text_to_utf8(block.name));
    }
  }
  std::string message = "no block is named \"" + std::string(wanted) + "\"";
  const std::vector<std::string> nearest = nearest_names(wanted, names, kNearestShown);
  for (std::size_t i = 0; i < nearest.size(); ++i) {
    message += (i == 0 ? "; the nearest names: " : ", ") + nearest[i];
  }
  return message;
}

}  // namespace

bool find_start_scene(std::string_view wanted, const ScenarioAnalysis& analysis, Cp932Codec& codec,
                      int& scene, std::string* error) {
  scene = scene_of_name(wanted, analysis, codec);
  if (scene != 0) return true;
  const int scenes = analysis.scenario().scenes.scene_count();
  int number = 0;
  if (!parse_scene_number(wanted, number)) {
    if (error) *error = no_such_block(wanted, analysis, codec);
    return false;
  }
  if (number >= 1 && number <= scenes) {
    scene = number;
    return true;
  }
  if (error) {
    *error = "the scenario has no scene " + std::to_string(number) +
             (scenes > 0 ? " (its scenes are 1 to " + std::to_string(scenes) + ")" : "");
  }
  return false;
}

}  // namespace plotwright
