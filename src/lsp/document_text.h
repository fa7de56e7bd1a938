// A document's text as the editor holds it (UTF-8), and the exact conversion between the places
// the protocol names (lines and UTF-16 code units) and those the analysis names (the file's
// physical lines and character columns).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/source_map.h"

namespace plotwright::lsp {

// A place as the protocol counts it: 0-based line, 0-based UTF-16 code unit.
struct LspPosition {
  int line = 0;
  int character = 0;
};

class DocumentText {
 public:
  // `text` must be valid UTF-8 (JSON strings are).
  explicit DocumentText(std::string text);

  const std::string& text() const { return text_; }

  // The byte offset of a protocol position; false when its line is past the document's last.
  // A character past its line's end stands for the line's end, as the protocol says; one
  // between the two halves of a surrogate pair for the character's start.
  bool offset_of(LspPosition position, std::size_t& offset) const;
  LspPosition lsp_position(std::size_t offset) const;

  // The same for the analysis's places. A column past its line's end stands for the line's
  // end, and a line past the last for the end of the text.
  std::size_t offset_of(SourcePosition position) const;
  SourcePosition source_position(std::size_t offset) const;

  // Physical line `line` (1-based, as the analysis counts), without its line end.
  std::string_view source_line(int line) const;
  int source_line_count() const { return static_cast<int>(source_lines_.size()); }

 private:
  std::size_t line_end(const std::vector<std::size_t>& starts, std::size_t index) const;

  std::string text_;
  // Where each line starts. The protocol ends a line at LF, CR LF or CR; the analysis, like
  // the engine, at LF or CR LF only (a lone CR is a byte of its line), and its first line
  // begins after a byte-order mark, which the decoding drops.
  std::vector<std::size_t> lsp_lines_;
  std::vector<std::size_t> source_lines_;
};

// The first `count` characters of UTF-8 text, with "…" when it had more.
std::string first_characters(std::string_view text, int count);

}  // namespace plotwright::lsp
