// The classification of source lines against the statement keyword table, and the forming of
// blocks (a statement line, its name and the body lines up to the next statement line).
#pragma once

#include <cstdint>
#include <vector>

#include "base/diagnostics.h"
#include "compiler/scene_table.h"
#include "language/keywords.h"

namespace plotwright {

struct SceneBlock {
  const char* name = nullptr;  // into the statement line; may be empty
  LineList body;               // the body lines, into the source line store
  const KeywordRow* row = nullptr;
};

// For each line up to the end mark (at most 200000): the row it matches, or null.
void classify_statements(const std::vector<const char*>& lines, const KeywordRow* table,
                         std::vector<const KeywordRow*>& rows);

// Forms the block list in source order and appends the names of named blocks to the
// scene-name table. A statement line with nothing but blanks after its keyword gets the empty
// name and writes the line "シナリオ名が指定されていません" to the diagnostics. Returns the block
// count.
int build_blocks(const std::vector<const char*>& lines, const std::vector<const KeywordRow*>& rows,
                 SceneTable& table, std::vector<SceneBlock>& blocks, DiagnosticSink& diagnostics);

}  // namespace plotwright
