// Line tables over a document's text and the counting of characters and UTF-16 code units.
#include "lsp/document_text.h"

#include <algorithm>

namespace plotwright::lsp {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool is_lead(char byte) {
  return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
}

// The UTF-8 length of the character that `lead` begins.
std::size_t sequence_length(char lead) {
  const auto byte = static_cast<unsigned char>(lead);
  return byte < 0x80 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
}

// The index of the line holding `offset` among lines starting at `starts`.
std::size_t line_index(const std::vector<std::size_t>& starts, std::size_t offset) {
  const auto after = std::upper_bound(starts.begin(), starts.end(), offset);
  return after == starts.begin() ? 0 : static_cast<std::size_t>(after - starts.begin()) - 1;
}

}  // namespace

DocumentText::DocumentText(std::string text) : text_(std::move(text)) {
  lsp_lines_.push_back(0);
  source_lines_.push_back(text_.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0);
  for (std::size_t i = 0; i < text_.size(); ++i) {
    if (text_[i] == '\n') {
      lsp_lines_.push_back(i + 1);
      source_lines_.push_back(i + 1);
    } else if (text_[i] == '\r' && (i + 1 == text_.size() || text_[i + 1] != '\n')) {
      lsp_lines_.push_back(i + 1);
    }
  }
}

std::size_t DocumentText::line_end(const std::vector<std::size_t>& starts,
                                   std::size_t index) const {
  if (index + 1 >= starts.size()) return text_.size();
  std::size_t end = starts[index + 1];
  if (text_[end - 1] == '\n') --end;
  if (end > starts[index] && text_[end - 1] == '\r') --end;
  return end;
}

bool DocumentText::offset_of(LspPosition position, std::size_t& offset) const {
  if (position.line < 0 || position.character < 0) return false;
  const auto line = static_cast<std::size_t>(position.line);
  if (line >= lsp_lines_.size()) return false;
  const std::size_t end = line_end(lsp_lines_, line);
  std::size_t p = lsp_lines_[line];
  for (int units = 0; p < end;) {
    const std::size_t length = sequence_length(text_[p]);
    const int width = length == 4 ? 2 : 1;
    if (units + width > position.character) break;
    units += width;
    p += length;
  }
  offset = std::min(p, end);
  return true;
}

LspPosition DocumentText::lsp_position(std::size_t offset) const {
  offset = std::min(offset, text_.size());
  const std::size_t line = line_index(lsp_lines_, offset);
  const std::size_t end = std::min(offset, line_end(lsp_lines_, line));
  int units = 0;
  for (std::size_t p = lsp_lines_[line]; p < end; ++p) {
    if (is_lead(text_[p])) units += static_cast<unsigned char>(text_[p]) >= 0xF0 ? 2 : 1;
  }
  return LspPosition{static_cast<int>(line), units};
}

std::size_t DocumentText::offset_of(SourcePosition position) const {
  if (position.line < 1) return source_lines_.front();
  const auto line = static_cast<std::size_t>(position.line) - 1;
  if (line >= source_lines_.size()) return text_.size();
  const std::size_t end = line_end(source_lines_, line);
  std::size_t p = source_lines_[line];
  for (int column = 1; column < position.column && p < end; ++column) {
    p += sequence_length(text_[p]);
  }
  return std::min(p, end);
}

SourcePosition DocumentText::source_position(std::size_t offset) const {
  offset = std::min(offset, text_.size());
  const std::size_t line = line_index(source_lines_, offset);
  const std::size_t begin = source_lines_[line];
  const std::size_t end = std::min(offset, line_end(source_lines_, line));
  int column = 1;
  for (std::size_t p = begin; p < end; ++p) column += is_lead(text_[p]) ? 1 : 0;
  return SourcePosition{static_cast<int>(line) + 1, column};
}

std::string_view DocumentText::source_line(int line) const {
  if (line < 1 || line > source_line_count()) return {};
  const auto index = static_cast<std::size_t>(line) - 1;
  const std::size_t begin = source_lines_[index];
  return std::string_view(text_).substr(begin, line_end(source_lines_, index) - begin);
}

std::string first_characters(std::string_view text, int count) {
  std::size_t p = 0;
  for (int n = 0; n < count && p < text.size(); ++n) p += sequence_length(text[p]);
  if (p >= text.size()) return std::string(text);
  return std::string(text.substr(0, p)) + "\u2026";
}

}  // namespace plotwright::lsp
