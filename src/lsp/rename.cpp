// Renaming blocks.
#include "lsp/rename.h"

#include <algorithm>
#include <cstring>

#include "compiler/scene_table.h"
#include "language/char_classes.h"
#include "language/keywords.h"
#include "lsp/navigation.h"

namespace plotwright::lsp {

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

bool is_builtin_name(const std::string& engine) {
  for (const char* const* list : {kSpecialNames, kAliases}) {
    for (int n = 0; list[n]; ++n) {
      if (engine == list[n]) return true;
    }
  }
  return false;
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
    return std::string("A choice naming it would be read as a \"") + row->keyword + "\" statement.";
  }
  if (is_six_digits(engine.c_str())) return "A name that begins with six digits is a scene number.";
  if (engine.size() > kLongestName) return "The name is too long.";
  return {};
}

}  // namespace

std::string name_refusal(Cp932Codec& codec, const ScenarioModel& model, int block,
                         std::string_view name, std::string& engine) {
  std::string error;
  if (!codec.utf8_to_shift_jis(name, engine, &error)) {
    const std::size_t colon = error.find(": ");  // drop the "line 1: " of a one-line text
    return colon == std::string::npos ? error : error.substr(colon + 2);
  }
  std::string refusal = shape_refusal(name, engine);
  if (!refusal.empty()) return refusal;
  if (is_builtin_name(engine)) return "\"" + std::string(name) + "\" is a built-in scene's name.";
  for (int b = 0; b < static_cast<int>(model.blocks.size()); ++b) {
    if (b != block && model.blocks[b].name == engine) {
      return "\"" + std::string(name) + "\" is taken by the block on line " +
             std::to_string(model.blocks[b].first_line) + ".";
    }
  }
  return {};
}

namespace {

// The block a rename at `params.position` renames; a RequestError when there is none.
int block_to_rename(OpenDocument& document, const json& params, Subject& subject) {
  const SourcePosition position = document.source_position(position_member(params));
  const ScenarioModel& model = document.checked().analysis().model();
  subject = subject_at(model, position);
  if (subject.kind != Subject::Kind::BLOCK || subject.block < 0) return -1;
  if (model.blocks[subject.block].kind == BlockKind::MESSAGE) return -1;
  return subject.block;
}

}  // namespace

json prepare_rename(OpenDocument& document, const json& params) {
  Subject subject;
  const int block = block_to_rename(document, params, subject);
  if (block < 0) return nullptr;
  const CheckedScenario& checked = document.checked();
  return {{"range", range_json(document.text(), subject.range)},
          {"placeholder", checked.to_utf8(checked.analysis().model().blocks[block].name)}};
}

json rename(OpenDocument& document, Cp932Codec& codec, const json& params) {
  Subject subject;
  const int block = block_to_rename(document, params, subject);
  if (block < 0) {
    throw RequestError(kRequestFailed,
                       "Only a block's name can be renamed here (not that of a "
                       "koru or system_mes block, which names a built-in scene).");
  }
  const ScenarioModel& model = document.checked().analysis().model();
  const std::string new_name = string_member(params, "newName");
  std::string engine;
  const std::string refusal = name_refusal(codec, model, block, new_name, engine);
  if (!refusal.empty()) throw RequestError(kRequestFailed, refusal);
  json edits = json::array();
  const auto edit = [&](const SourceRange& range) {
    edits.push_back({{"range", range_json(document.text(), range)}, {"newText", new_name}});
  };
  std::vector<Reference> places = references_to(model, block);
  places.push_back(Reference{model.blocks[block].name_range, true});
  std::sort(places.begin(), places.end(),
            [](const Reference& a, const Reference& b) { return a.range.begin < b.range.begin; });
  for (const Reference& place : places) {
    if (place.by_name) edit(place.range);  // a reference by number stays right
  }
  return {{"changes", {{document.uri(), std::move(edits)}}}};
}

}  // namespace plotwright::lsp
