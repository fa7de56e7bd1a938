// Blocks, choices and paragraphs as document symbols.
#include "lsp/outline.h"

#include <climits>

namespace plotwright::lsp {

namespace {

constexpr int kNameLength = 40;  // characters of a text shown as a paragraph's name

// SymbolKind: what the editor draws beside each entry.
enum SymbolKind : int {
  kModule = 2,
  kClass = 5,
  kEnum = 10,
  kConstant = 14,
  kString = 15,
  kEnumMember = 22,
};

int kind_of(BlockKind kind) {
  switch (kind) {
    case BlockKind::TITLE:
      return kModule;
    case BlockKind::SCENE:
      return kClass;
    case BlockKind::SELECT:
      return kEnum;
    case BlockKind::MESSAGE:
      break;
  }
  return kConstant;
}

struct Symbol {
  std::string name;  // UTF-8, never empty
  std::string_view detail;
  int kind = 0;
  SourceRange range;
  SourceRange selection;
};

SourceRange whole_lines(int first, int last) {
  return SourceRange{{first, 1}, {last, INT_MAX}};
}

// Opens the symbol's object and its "children" array; the caller closes both.
void begin_symbol(JsonWriter& out, const DocumentText& text, const Symbol& symbol) {
  out.begin_object().key("name").value(symbol.name).key("detail").value(symbol.detail);
  out.key("kind").value(symbol.kind).key("range");
  write_range(out, text, symbol.range);
  out.key("selectionRange");
  write_range(out, text, symbol.selection);
  out.key("children").begin_array();
}

bool is_blank(std::string_view text) {
  return text.find_first_not_of(" \t") == std::string_view::npos;
}

// A paragraph's name: the rest of its `#` line, else the next line with text, else "#".
std::string paragraph_name(const CheckedScenario& checked, const ModelBlock& block,
                           std::size_t mark) {
  const std::vector<const char*>& lines = checked.analysis().store().lines();
  std::string_view text = lines[block.body[mark]] + 1;
  for (std::size_t i = mark + 1; is_blank(text) && i < block.body.size(); ++i) {
    text = lines[block.body[i]];
    if (text.starts_with('#')) break;
  }
  if (is_blank(text) || text.starts_with('#')) return "#";
  return first_characters(checked.to_utf8(text.substr(text.find_first_not_of(" \t"))), kNameLength);
}

// Each `#` line of a block starts a paragraph that runs to the next one or the block's end.
void write_paragraphs(JsonWriter& out, const CheckedScenario& checked, const DocumentText& text,
                      const ModelBlock& block) {
  const SourceStore& store = checked.analysis().store();
  std::vector<std::size_t> marks;
  for (std::size_t i = 0; i < block.body.size(); ++i) {
    if (store.lines()[block.body[i]][0] == '#') marks.push_back(i);
  }
  for (std::size_t m = 0; m < marks.size(); ++m) {
    const int line = store.first_physical_line(block.body[marks[m]]);
    const int last = m + 1 < marks.size() ? store.first_physical_line(block.body[marks[m + 1]]) - 1
                                          : block.last_line;
    begin_symbol(out, text,
                 Symbol{paragraph_name(checked, block, marks[m]), "paragraph", kString,
                        whole_lines(line, last), whole_lines(line, line)});
    out.end_array().end_object();
  }
}

// The choices of block `block`, which start at index `next` of the model's choices.
void write_choices(JsonWriter& out, const CheckedScenario& checked, const DocumentText& text,
                   int block, std::size_t& next) {
  const std::vector<ModelChoice>& all = checked.analysis().model().choices;
  for (; next < all.size() && all[next].block == block; ++next) {
    const ModelChoice& choice = all[next];
    const std::string name =
        choice.destination.empty() ? "(no destination)" : checked.to_utf8(choice.destination);
    begin_symbol(out, text,
                 Symbol{name, choice.guarded ? "guarded choice" : "choice", kEnumMember,
                        choice.range, choice.destination_range});
    out.end_array().end_object();
  }
}

}  // namespace

std::string document_symbols(OpenDocument& document) {
  const CheckedScenario& checked = document.checked();
  const ScenarioModel& model = checked.analysis().model();
  const DocumentText& text = document.text();
  JsonWriter out;
  out.begin_array();
  std::size_t next_choice = 0;
  for (int b = 0; b < static_cast<int>(model.blocks.size()); ++b) {
    const ModelBlock& block = model.blocks[b];
    const std::string name =
        block.name.empty() ? "(" + block.keyword + " without a name)" : checked.to_utf8(block.name);
    begin_symbol(out, text,
                 Symbol{name, block.keyword, kind_of(block.kind),
                        whole_lines(block.first_line, block.last_line), block.name_range});
    while (next_choice < model.choices.size() && model.choices[next_choice].block < b) {
      ++next_choice;
    }
    if (block.kind == BlockKind::SELECT) {
      write_choices(out, checked, text, b, next_choice);
    } else {
      write_paragraphs(out, checked, text, block);
    }
    out.end_array().end_object();
  }
  return out.end_array().take();
}

}  // namespace plotwright::lsp
