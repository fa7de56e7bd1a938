// Quick fixes.
#include "lsp/code_actions.h"

#include <algorithm>

#include "lsp/rename.h"

namespace plotwright::lsp {

namespace {

json diagnostic_json(const DocumentText& text, const AuthorDiagnostic& d) {
  json out = {
      {"range", range_json(text, d.range)}, {"message", d.message}, {"source", "plotwright"}};
  if (!d.code.empty()) out["code"] = d.code;
  return out;
}

json quick_fix(OpenDocument& document, const AuthorDiagnostic& d, const std::string& title,
               const SourceRange& range, const std::string& new_text) {
  const json edit = {{"range", range_json(document.text(), range)}, {"newText", new_text}};
  return {{"title", title},
          {"kind", "quickfix"},
          {"diagnostics", json::array({diagnostic_json(document.text(), d)})},
          {"edit", {{"changes", {{document.uri(), json::array({edit})}}}}}};
}

bool touches(const SourceRange& a, const SourcePosition& begin, const SourcePosition& end) {
  return !(end < a.begin) && !(a.end < begin);
}

// Where a new block goes: at the end of the file; but a block a choice leads to goes before the
// file's last block when that one is no choice's destination (the last block's use count is
// never saved, so a choice should not lead there), comes after the choice and is not where the
// story starts.
SourcePosition new_block_place(OpenDocument& document, const AuthorDiagnostic& d) {
  const DocumentText& text = document.text();
  const SourcePosition end = text.source_position(text.text().size());
  const ScenarioModel& model = document.checked().analysis().model();
  if (d.code != "V101" || model.blocks.empty()) return end;
  const ModelBlock& last = model.blocks.back();
  const bool chosen = std::any_of(model.choices.begin(), model.choices.end(), [&](const auto& c) {
    return last.scene != 0 && c.target == last.scene;
  });
  if (chosen || last.scene == model.start_scene || last.first_line <= d.range.begin.line) {
    return end;
  }
  return SourcePosition{last.first_line, 1};
}

// "Add scene NAME" for a destination that names no block, unless no block could take the name.
void add_missing_block(OpenDocument& document, Cp932Codec& codec, const AuthorDiagnostic& d,
                       json& actions) {
  std::string engine;
  const ScenarioModel& model = document.checked().analysis().model();
  if (!name_refusal(codec, model, -1, d.missing_scene, engine).empty()) return;
  const SourcePosition at = new_block_place(document, d);
  const std::string& text = document.text().text();
  const bool at_end = document.text().offset_of(at) == text.size();
  const bool open_line = at_end && !text.empty() && text.back() != '\n';
  std::string block = "scene " + d.missing_scene + "\n\n";
  if (open_line) block.insert(0, "\n");
  actions.push_back(
      quick_fix(document, d, "Add scene \"" + d.missing_scene + "\"", SourceRange{at, at}, block));
}

}  // namespace

json code_actions(OpenDocument& document, Cp932Codec& codec, const json& params) {
  const json& range = member(params, "range");
  const SourcePosition begin =
      document.source_position(position_member({{"position", member(range, "start")}}));
  const SourcePosition end =
      document.source_position(position_member({{"position", member(range, "end")}}));
  json actions = json::array();
  for (const AuthorDiagnostic& d : document.checked().diagnostics()) {
    if (actions.size() >= kMaxCodeActions) break;
    if (!touches(d.range, begin, end)) continue;
    if (d.fix) {
      actions.push_back(quick_fix(document, d, d.fix->title, d.fix->range, d.fix->replacement));
      actions.back()["isPreferred"] = true;
    }
    if (!d.missing_scene.empty()) add_missing_block(document, codec, d, actions);
  }
  return actions;
}

}  // namespace plotwright::lsp
