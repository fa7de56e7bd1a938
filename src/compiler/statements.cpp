// Statement lines and blocks.
#include "compiler/statements.h"

#include "base/limits.h"
#include "compiler/japanese_names.h"
#include "language/char_classes.h"

namespace plotwright {

namespace {

// name -> blanks* rest-of-line; blanks are space, tab and the full-width space.
const char* find_block_name(const char* line, int start, DiagnosticSink& diagnostics) {
  const int p = skip_blanks(line, start, kTextCapacity);
  if (p < kTextCapacity && line[p] == '\0') {
    diagnostics.write(kNameMissingDiagnostic);
    diagnostics.write("\n");
  }
  return line + p;
}

}  // namespace

void classify_statements(const std::vector<const char*>& lines, const KeywordRow* table,
                         std::vector<const KeywordRow*>& rows) {
  rows.clear();
  for (std::size_t i = 0; i < lines.size() && i < kStatementLimit && lines[i]; ++i) {
    rows.push_back(classify_line(lines[i], table));
  }
}

int build_blocks(const std::vector<const char*>& lines, const std::vector<const KeywordRow*>& rows,
                 SceneTable& table, std::vector<SceneBlock>& blocks, DiagnosticSink& diagnostics) {
  blocks.clear();
  const int count = static_cast<int>(rows.size());
  for (int i = 0; i < count; ++i) {
    const KeywordRow* row = rows[i];
    if (!row || !(row->opens_scene || row->opens_select)) continue;
    SceneBlock block;
    block.row = row;
    block.name = find_block_name(lines[i], row->length, diagnostics);
    if (row->named) table.names.push_back(block.name);
    int end = i + 1;
    while (end < count && !rows[end]) ++end;
    block.body = LineList{lines.data() + i + 1, end - (i + 1)};
    blocks.push_back(block);
  }
  return static_cast<int>(blocks.size());
}

}  // namespace plotwright
