// Statement lines and blocks.
#include "compiler/statements.h"

#include "base/limits.h"
#include "compiler/char_classes.h"
#include "compiler/japanese_names.h"

namespace plotwright {

const KeywordRow kKeywordTable[] = {
    {"end", 3, 0, 0, 0, 0},         {"lumen", 5, 1, 0, 0, 1},  {"scene", 5, 1, 0, 0, 1},
    {"set", 3, 1, 0, 0, 1},         {"test", 4, 1, 0, 0, 1},   {"action", 6, 1, 0, 0, 1},
    {"title", 5, 1, 0, 1, 1},       {"system", 6, 1, 0, 0, 1}, {"koru", 4, 1, 0, 0, 0},
    {"system_mes", 10, 1, 0, 0, 0}, {"bunki", 5, 0, 1, 0, 1},  {"select", 6, 0, 1, 0, 1},
    {nullptr, 0, 0, 0, 0, 0},
};

namespace {

// keyword is a prefix of the line, compared over at most 100 bytes.
bool keyword_matches(const char* keyword, const char* line) {
  for (int i = 0; i < kKeywordCompareLimit; ++i) {
    if (keyword[i] == '\0') return true;
    if (line[i] != keyword[i]) return false;  // also stops at the line's end
  }
  return false;
}

const KeywordRow* classify_line(const char* line, const KeywordRow* table) {
  const KeywordRow* found = nullptr;
  for (int r = 0; r < kKeywordRowLimit && table[r].keyword; ++r) {
    if (keyword_matches(table[r].keyword, line)) found = &table[r];
  }
  return found;
}

// name -> blanks* rest-of-line; blanks are space, tab and the full-width space.
const char* find_block_name(const char* line, int start, DiagnosticSink& diagnostics) {
  const int p = skip_blanks(line, start, kTextCapacity);
  if (p < kTextCapacity && line[p] == '\0') diagnostics.write(kNameMissingDiagnostic);
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
