// Resolving --start against the compiled scenario.
#include "authoring/start_block.h"

#include <algorithm>
#include <numeric>
#include <set>
#include <tuple>

#include "compiler/scene_table.h"
#include "encoding/utf8.h"

namespace plotwright {

namespace {

constexpr std::size_t kNearestShown = 5;

std::u32string folded_characters(std::string_view text) {
  std::u32string out;
  for (std::size_t at = 0; at < text.size();) {
    char32_t c = static_cast<unsigned char>(text[at]);
    const std::size_t length = utf8::decode(text, at, c);
    at += length > 0 ? length : 1;
    out.push_back(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  }
  return out;
}

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

int edit_distance(std::string_view a, std::string_view b) {
  const std::u32string x = folded_characters(a);
  const std::u32string y = folded_characters(b);
  std::vector<int> row(y.size() + 1);
  std::iota(row.begin(), row.end(), 0);
  for (std::size_t i = 1; i <= x.size(); ++i) {
    int diagonal = row[0];
    row[0] = static_cast<int>(i);
    for (std::size_t j = 1; j <= y.size(); ++j) {
      const int substituted = diagonal + (x[i - 1] == y[j - 1] ? 0 : 1);
      diagonal = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, substituted});
    }
  }
  return row[y.size()];
}

std::vector<std::string> nearest_names(std::string_view wanted,
                                       const std::vector<std::string>& names, std::size_t limit) {
  // Distance; then a name that the wanted text begins (a name typed in part) first; then the
  // order of the names.
  std::vector<std::tuple<int, bool, std::size_t>> ranked;
  std::set<std::string_view> seen;
  const std::u32string folded = folded_characters(wanted);
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (!seen.insert(names[i]).second) continue;
    const bool begun = folded_characters(names[i]).starts_with(folded);
    ranked.emplace_back(edit_distance(wanted, names[i]), !begun, i);
  }
  const std::size_t shown = std::min(limit, ranked.size());
  std::partial_sort(ranked.begin(), ranked.begin() + static_cast<std::ptrdiff_t>(shown),
                    ranked.end());
  std::vector<std::string> out;
  for (std::size_t i = 0; i < shown; ++i) out.push_back(names[std::get<2>(ranked[i])]);
  return out;
}

}  // namespace plotwright
