// Offering block and variable names.
#include "lsp/completion.h"

#include <set>

#include "lsp/navigation.h"

namespace plotwright::lsp {

namespace {

// CompletionItemKind
constexpr int kVariableItem = 6;
constexpr int kModuleItem = 9;

// Bytes that end a variable name being typed (the `[ ]` and `< >` syntax around names).
constexpr std::string_view kNameStops = "[]<>=!%$+-;{}()| \t";

json item(std::string label, int kind, const char* detail, const json& range) {
  return {{"label", label},
          {"kind", kind},
          {"detail", detail},
          {"textEdit", {{"range", range}, {"newText", label}}}};
}

// Where a destination being typed at `at` begins, if a choice or jump expects one there.
bool destination_start(const ScenarioModel& model, const DocumentText& text, SourcePosition at,
                       SourcePosition& start) {
  start = at;
  for (const ModelChoice& choice : model.choices) {
    if (!covers(choice.destination_range, at)) continue;
    start = choice.destination_range.begin;
    return true;
  }
  for (const ModelJump& jump : model.jumps) {
    if (!covers(jump.target_range, at)) continue;
    start = jump.target_range.begin;
    return true;
  }
  return text.source_line(at.line) == "{" && at.column == 2;  // no jump yet
}

json block_items(const CheckedScenario& checked, const json& range) {
  json items = json::array();
  std::set<std::string> seen;
  for (const ModelBlock& block : checked.analysis().model().blocks) {
    if (block.scene == 0 || block.name.empty() || !seen.insert(block.name).second) continue;
    items.push_back(item(checked.to_utf8(block.name), kModuleItem, block.keyword.c_str(), range));
  }
  return items;
}

// Where a variable name being typed at `at` begins: after a `[`, `%`, `$` or `<` on its line.
bool variable_start(const DocumentText& text, SourcePosition at, std::size_t& start) {
  const std::size_t line = text.offset_of(SourcePosition{at.line, 1});
  const std::string_view before =
      std::string_view(text.text()).substr(line, text.offset_of(at) - line);
  const std::size_t stop = before.find_last_of(kNameStops);
  if (stop == std::string_view::npos ||
      std::string_view("[%$<").find(before[stop]) == std::string_view::npos) {
    return false;
  }
  start = line + stop + 1;
  return true;
}

json variable_items(const CheckedScenario& checked, SourcePosition at, const json& range) {
  json items = json::array();
  std::set<std::string> seen;
  for (const ModelVariableUse& use : checked.analysis().model().variables) {
    if (covers(use.range, at) || !seen.insert(use.name).second) continue;
    const bool number =
        use.access == VariableAccess::SET_NUMBER || use.access == VariableAccess::READ_NUMBER;
    items.push_back(
        item(checked.to_utf8(use.name), kVariableItem, number ? "number" : "text", range));
  }
  return items;
}

}  // namespace

json completion(OpenDocument& document, const json& params) {
  const SourcePosition at = document.source_position(position_member(params));
  const DocumentText& text = document.text();
  const CheckedScenario& checked = document.checked();
  const auto range = [&](std::size_t begin) {
    return json{{"start", position_json(text.lsp_position(begin))},
                {"end", position_json(text.lsp_position(text.offset_of(at)))}};
  };
  // A variable first: a choice whose condition is still open has its destination there too.
  std::size_t begin = 0;
  if (variable_start(text, at, begin)) return variable_items(checked, at, range(begin));
  SourcePosition start;
  if (destination_start(checked.analysis().model(), text, at, start)) {
    return block_items(checked, range(text.offset_of(start)));
  }
  return json::array();
}

}  // namespace plotwright::lsp
