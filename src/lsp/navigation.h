// Following names through a scenario: what a place names (a block, by its statement, a choice
// or a jump; a variable), where that is defined, who refers to it, and what hovering shows.
#pragma once

#include <string>
#include <vector>

#include "analysis/scenario_model.h"
#include "lsp/open_document.h"

namespace plotwright::lsp {

struct Subject {
  enum class Kind { NONE, BLOCK, VARIABLE };
  Kind kind = Kind::NONE;
  int scene = 0;      // BLOCK: the scene the name leads to, 0 for none
  int block = -1;     // BLOCK: that scene's block, -1 for none (unknown, or built in)
  std::string name;   // engine bytes, as written at the place
  SourceRange range;  // the name at the place
};

// `position` lies in `range` or just after it (where the cursor stands after typing a name).
inline bool covers(const SourceRange& range, SourcePosition position) {
  return !(position < range.begin) && !(range.end < position);
}

// What the name at `position` (in it, or just after it) stands for.
Subject subject_at(const ScenarioModel& model, SourcePosition position);

// The block that gives scene `scene` its lines, or -1.
int block_of_scene(const ScenarioModel& model, int scene);

// A choice or jump that leads to a block.
struct Reference {
  SourceRange range;     // the destination or target as written
  bool by_name = false;  // written as the block's name (not as its scene number)
};

// Every choice and jump that leads to `block`, in source order.
std::vector<Reference> references_to(const ScenarioModel& model, int block);

// textDocument/definition, textDocument/references and textDocument/hover.
json definition(OpenDocument& document, const json& params);
json references(OpenDocument& document, const json& params);
json hover(OpenDocument& document, const json& params);

}  // namespace plotwright::lsp
