// Renaming blocks.
#include "lsp/rename.h"

#include <algorithm>

#include "analysis/block_names.h"
#include "lsp/navigation.h"

namespace plotwright::lsp {

std::string name_refusal(Cp932Codec& codec, const ScenarioModel& model, int block,
                         std::string_view name, std::string& engine) {
  std::string error;
  if (!codec.utf8_to_shift_jis(name, engine, &error)) {
    const std::size_t colon = error.find(": ");  // drop the "line 1: " of a one-line text
    return colon == std::string::npos ? error : error.substr(colon + 2);
  }
  return block_name_refusal(model, block, name, engine);
}

namespace {

// The block a rename at `params.position` renames, or -1 when there is none.
int block_to_rename(OpenDocument& document, const json& params, Subject& subject) {
  const SourcePosition position = document.source_position(position_member(params));
  const ScenarioModel& model = document.checked().analysis().model();
  subject = subject_at(model, position);
  if (subject.kind != Subject::Kind::BLOCK || subject.block < 0) return -1;
  if (model.blocks[subject.block].kind == BlockKind::MESSAGE) return -1;
  return subject.block;
}

// Why `subject`, which no rename may change, keeps its name.
std::string kept_name_reason(const Subject& subject) {
  switch (subject.kind) {
    case Subject::Kind::VARIABLE:
      return "A variable cannot be renamed here: only a block can, with every choice and jump "
             "that names it.";
    case Subject::Kind::BLOCK:
      if (subject.block >= 0) {
        return "A koru or system_mes block keeps its name: it names the built-in scene it serves.";
      }
      return subject.scene > 0 ? "A built-in scene's name cannot be renamed."
                               : "No block has this name.";
    case Subject::Kind::NONE:
      break;
  }
  return "Nothing here can be renamed: only a block can, and no block or variable is named "
         "here.";
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
  if (block < 0) throw RequestError(kRequestFailed, kept_name_reason(subject));
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
