// Parsing simple lines into group trees and expanding them level by level.
#include "generator/line_templates.h"

#include <cstring>

#include "base/limits.h"

namespace plotwright {

namespace {

bool simple_byte(unsigned char byte) {
  if (byte == '\t') return true;
  if (byte < 0x20 || byte > 0x7E) return false;
  return !std::strchr("[]<>{}/", byte);
}

}  // namespace

bool LineTemplate::compile(const char* line) {
  const int length = static_cast<int>(strnlen(line, kSeparatorWindow));
  if (length >= kSeparatorWindow) return false;
  for (int i = 0; i < length; ++i) {
    if (!simple_byte(static_cast<unsigned char>(line[i]))) return false;
  }
  text_.assign(line, static_cast<std::size_t>(length));
  int p = 0;
  if (!parse_alternatives(p, false, line_first_, line_count_)) return false;
  chosen_.assign(groups_.size(), -1);
  index_children();
  return p == length;
}

void LineTemplate::index_children() {
  for (Alternative& a : alternatives_) {
    a.first_child = static_cast<std::int32_t>(children_.size());
    for (int i = 0; i < a.piece_count; ++i) {
      const Piece& piece = pieces_[a.first_piece + i];
      if (piece.group >= 0) children_.push_back(piece.group);
    }
    a.child_count = static_cast<std::int32_t>(children_.size()) - a.first_child;
  }
  level_.reserve(groups_.size());
  next_level_.reserve(groups_.size());
}

// alternatives -> pieces { '|' pieces }, ended by ')' in a group or the end of the line.
bool LineTemplate::parse_alternatives(int& p, bool in_group, std::int32_t& first,
                                      std::int32_t& count) {
  std::vector<Alternative> found;
  for (;;) {
    Alternative alternative{};
    if (!parse_pieces(p, alternative)) return false;
    found.push_back(alternative);
    if (p < static_cast<int>(text_.size()) && text_[p] == '|') {
      ++p;
      continue;
    }
    break;
  }
  const bool closed = p < static_cast<int>(text_.size()) && text_[p] == ')';
  if (closed != in_group) return false;
  first = static_cast<std::int32_t>(alternatives_.size());
  count = static_cast<std::int32_t>(found.size());
  alternatives_.insert(alternatives_.end(), found.begin(), found.end());
  return true;
}

// pieces -> { literal | '(' alternatives ')' }
bool LineTemplate::parse_pieces(int& p, Alternative& alternative) {
  std::vector<Piece> found;
  const int size = static_cast<int>(text_.size());
  while (p < size && text_[p] != '|' && text_[p] != ')') {
    const int start = p;
    if (text_[p] == '(') {
      ++p;
      Group group{};
      if (!parse_alternatives(p, true, group.first_alternative, group.alternative_count)) {
        return false;
      }
      ++p;  // the closing ')'
      found.push_back(Piece{start, p, static_cast<std::int32_t>(groups_.size())});
      groups_.push_back(group);
      continue;
    }
    while (p < size && text_[p] != '|' && text_[p] != ')' && text_[p] != '(') ++p;
    found.push_back(Piece{start, p, -1});
  }
  alternative.first_piece = static_cast<std::int32_t>(pieces_.size());
  alternative.piece_count = static_cast<std::int32_t>(found.size());
  pieces_.insert(pieces_.end(), found.begin(), found.end());
  return true;
}

// Chooses the groups one nesting level at a time, left to right, as the passes over the text
// would; groups below the tenth level stay unexpanded.
void LineTemplate::choose(int alternative, RandomSource& random) {
  level_.clear();
  auto add_groups = [this](int alt, std::vector<std::int32_t>& into) {
    const Alternative& a = alternatives_[alt];
    const auto first = children_.begin() + a.first_child;
    into.insert(into.end(), first, first + a.child_count);
  };
  add_groups(alternative, level_);
  for (int pass = 0; pass < kMaxGroupPasses && !level_.empty(); ++pass) {
    next_level_.clear();
    for (std::int32_t g : level_) {
      const Group& group = groups_[g];
      const int c =
          group.alternative_count > 1 ? scale_draw(random.rand(), group.alternative_count) : 0;
      chosen_[g] = c;
      add_groups(group.first_alternative + c, next_level_);
    }
    level_.swap(next_level_);
  }
}

char* LineTemplate::write(int alternative, char* out) const {
  const Alternative& a = alternatives_[alternative];
  for (int i = 0; i < a.piece_count; ++i) {
    const Piece& piece = pieces_[a.first_piece + i];
    if (piece.group >= 0 && chosen_[piece.group] >= 0) {
      out = write(groups_[piece.group].first_alternative + chosen_[piece.group], out);
      continue;
    }
    const auto length = static_cast<std::size_t>(piece.end - piece.begin);
    std::memcpy(out, text_.data() + piece.begin, length);
    out += length;
  }
  return out;
}

int LineTemplate::expand(char* out, RandomSource& random) {
  const int alternative =
      line_first_ + (line_count_ > 1 ? scale_draw(random.rand(), line_count_) : 0);
  choose(alternative, random);
  char* end = write(alternative, out);
  *end = '\0';
  return static_cast<int>(end - out);
}

LineTemplate* LineTemplateCache::find(const char* line) {
  const auto [entry, inserted] = index_.try_emplace(line, -1);
  if (inserted) {
    LineTemplate compiled;
    if (compiled.compile(line)) {
      entry->second = static_cast<std::int32_t>(templates_.size());
      templates_.push_back(std::move(compiled));
    }
  }
  return entry->second >= 0 ? &templates_[entry->second] : nullptr;
}

}  // namespace plotwright
