// The rules for a block's name.
#include "analysis/block_names.h"

#include <algorithm>
#include <cstring>

#include "compiler/scene_table.h"
#include "language/char_classes.h"
#include "language/keywords.h"

namespace plotwright {

namespace {

constexpr std::size_t kLongestName = 1000;  // bytes: a jump line stays well inside a text line
constexpr std::string_view kFullWidthSpace = "\u3000";

bool is_blank_at_edge(std::string_view name) {
  return name.starts_with(' ') || name.ends_with(' ') || name.starts_with(kFullWidthSpace) ||
         name.ends_with(kFullWidthSpace);
}

bool has_control(std::string_view name) {
  return std::any_of(name.begin(), name.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

// The shape of a name, whatever the scenario: "" when it will do.
std::string shape_refusal(std::string_view name, const std::string& engine) {
  if (name.empty()) return "A block needs a name.";
  if (has_control(name)) return "A name cannot hold a line break, a tab or a control character.";
  if (is_blank_at_edge(name)) return "A name cannot begin or end with a blank.";
  if (std::strchr("!#&*", name.front())) {
    return std::string("A jump to it would read \"") + name.front() + "\" as its prefix.";
  }
  const std::size_t syntax = name.find_first_of("{}[]()<>;|\\");
  if (syntax != std::string_view::npos) {
    return std::string("A name cannot hold \"") + name[syntax] +
           "\": it is syntax in choices and jumps.";
  }
  if (const KeywordRow* row = classify_line(engine.c_str(), kKeywordTable)) {
    return std::string("A choice naming it would be read as ") + article_for(row->keyword) + " \"" +
           row->keyword + "\" statement.";
  }
  if (is_six_digits(engine.c_str())) return "A name that begins with six digits is a scene number.";
  if (engine.size() > kLongestName) return "The name is too long.";
  return {};
}

}  // namespace

std::string block_name_refusal(const ScenarioModel& model, int block, std::string_view shown,
                               const std::string& engine) {
  std::string refusal = shape_refusal(shown, engine);
  if (!refusal.empty()) return refusal;
  if (builtin_scene_named(engine) != 0) {
    return "\"" + std::string(shown) + "\" is a built-in scene's name.";
  }
  for (int b = 0; b < static_cast<int>(model.blocks.size()); ++b) {
    if (b != block && model.blocks[b].name == engine) {
      return "\"" + std::string(shown) + "\" is taken by the block on line " +
             std::to_string(model.blocks[b].first_line) + ".";
    }
  }
  return {};
}

}  // namespace plotwright
