// Definitions, references and hovers of blocks and variables.
#include "lsp/navigation.h"

#include <algorithm>

#include "authoring/scene_names.h"

namespace plotwright::lsp {

namespace {

constexpr int kHoverLines = 5;    // of a block's text
constexpr int kHoverSetters = 8;  // places a variable is set
constexpr int kHoverLineLength = 60;

Subject block_subject(const ScenarioModel& model, int scene, std::string name,
                      const SourceRange& range) {
  return Subject{Subject::Kind::BLOCK, scene, block_of_scene(model, scene), std::move(name), range};
}

bool is_setting(VariableAccess access) {
  return access == VariableAccess::SET_TEXT || access == VariableAccess::SET_NUMBER;
}

// The document's physical line `line`, clipped, for a hover.
std::string line_text(const DocumentText& text, int line) {
  return first_characters(text.source_line(line), kHoverLineLength);
}

std::string block_hover(const ScenarioModel& model, const DocumentText& text, const Subject& s) {
  if (s.block < 0) {
    const std::string word = builtin_scene_word(s.scene);
    if (word.empty()) return "No block has this name.";
    return "Built-in scene " + std::to_string(s.scene) + ": " + word + ".";
  }
  const ModelBlock& block = model.blocks[s.block];
  std::string value = "```vell\n";
  const int last = std::min(block.last_line, block.first_line + kHoverLines - 1);
  for (int line = block.first_line; line <= last; ++line) value += line_text(text, line) + "\n";
  if (last < block.last_line) value += "...\n";
  const auto count = references_to(model, s.block).size();
  return value + "```\nLine " + std::to_string(block.first_line) + "; " + std::to_string(count) +
         (count == 1 ? " choice or jump leads" : " choices and jumps lead") + " here.";
}

std::string variable_hover(const ScenarioModel& model, const DocumentText& text, const Subject& s,
                           const CheckedScenario& checked) {
  std::string value;
  int shown = 0;
  int more = 0;
  for (const ModelVariableUse& use : model.variables) {
    if (use.name != s.name || !is_setting(use.access)) continue;
    if (shown == kHoverSetters) {
      ++more;
      continue;
    }
    ++shown;
    value += "- line " + std::to_string(use.range.begin.line) + ": `" +
             line_text(text, use.range.begin.line) + "`\n";
  }
  std::string name = checked.to_utf8(s.name);
  name.insert(name.begin(), '`');
  name.push_back('`');
  if (shown == 0) return name + " is never set.";
  if (more > 0) value += "- and " + std::to_string(more) + " more\n";
  return name + " is set on\n\n" + value;
}

}  // namespace

int block_of_scene(const ScenarioModel& model, int scene) {
  if (scene <= 0 || scene >= static_cast<int>(model.block_of_scene.size())) return -1;
  return model.block_of_scene[scene];
}

Subject subject_at(const ScenarioModel& model, SourcePosition position) {
  for (int b = 0; b < static_cast<int>(model.blocks.size()); ++b) {
    const ModelBlock& block = model.blocks[b];
    if (covers(block.name_range, position)) {
      return Subject{Subject::Kind::BLOCK, block.scene, b, block.name, block.name_range};
    }
  }
  for (const ModelChoice& choice : model.choices) {
    if (covers(choice.destination_range, position)) {
      return block_subject(model, choice.target, choice.destination, choice.destination_range);
    }
  }
  for (const ModelJump& jump : model.jumps) {
    if (covers(jump.target_range, position)) {
      return block_subject(model, jump.target_scene, jump.target, jump.target_range);
    }
  }
  for (const ModelVariableUse& use : model.variables) {
    if (covers(use.range, position)) {
      return Subject{Subject::Kind::VARIABLE, 0, -1, use.name, use.range};
    }
  }
  return {};
}

std::vector<Reference> references_to(const ScenarioModel& model, int block) {
  std::vector<Reference> found;
  const std::string& name = model.blocks[block].name;
  for (const ModelChoice& choice : model.choices) {
    if (block_of_scene(model, choice.target) != block) continue;
    found.push_back(Reference{choice.destination_range, choice.destination == name});
  }
  for (const ModelJump& jump : model.jumps) {
    if (block_of_scene(model, jump.target_scene) != block) continue;
    found.push_back(Reference{jump.target_range, jump.target == name});
  }
  std::sort(found.begin(), found.end(),
            [](const Reference& a, const Reference& b) { return a.range.begin < b.range.begin; });
  return found;
}

json definition(OpenDocument& document, const json& params) {
  const SourcePosition position = document.source_position(position_member(params));
  const ScenarioModel& model = document.checked().analysis().model();
  const Subject subject = subject_at(model, position);
  if (subject.kind == Subject::Kind::BLOCK && subject.block >= 0) {
    return location_json(document.uri(), document.text(), model.blocks[subject.block].name_range);
  }
  json places = json::array();
  if (subject.kind != Subject::Kind::VARIABLE) return nullptr;
  for (const ModelVariableUse& use : model.variables) {
    if (use.name == subject.name && is_setting(use.access)) {
      places.push_back(location_json(document.uri(), document.text(), use.range));
    }
  }
  return places;
}

json references(OpenDocument& document, const json& params) {
  const SourcePosition position = document.source_position(position_member(params));
  const ScenarioModel& model = document.checked().analysis().model();
  const Subject subject = subject_at(model, position);
  const json context = params.value("context", json::object());
  const bool declaration = context.is_object() && context.value("includeDeclaration", false);
  json places = json::array();
  const auto add = [&](const SourceRange& range) {
    places.push_back(location_json(document.uri(), document.text(), range));
  };
  if (subject.kind == Subject::Kind::VARIABLE) {
    for (const ModelVariableUse& use : model.variables) {
      if (use.name == subject.name) add(use.range);
    }
  } else if (subject.kind == Subject::Kind::BLOCK && subject.block >= 0) {
    const SourceRange& name = model.blocks[subject.block].name_range;
    bool named = !declaration;
    for (const Reference& reference : references_to(model, subject.block)) {
      if (!named && name.begin < reference.range.begin) add(name), named = true;
      add(reference.range);
    }
    if (!named) add(name);
  }
  return places;
}

json hover(OpenDocument& document, const json& params) {
  const SourcePosition position = document.source_position(position_member(params));
  const CheckedScenario& checked = document.checked();
  const ScenarioModel& model = checked.analysis().model();
  const Subject subject = subject_at(model, position);
  if (subject.kind == Subject::Kind::NONE) return nullptr;
  const std::string value = subject.kind == Subject::Kind::BLOCK
                                ? block_hover(model, document.text(), subject)
                                : variable_hover(model, document.text(), subject, checked);
  return {{"contents", {{"kind", "markdown"}, {"value", value}}},
          {"range", range_json(document.text(), subject.range)}};
}

}  // namespace plotwright::lsp
