// Parsing simple lines into group trees and expanding them level by level.
#include "generator/line_templates.h"

#include <bit>
#include <cstdint>
#include <cstring>

#include "base/limits.h"

namespace plotwright {

// A simple line is shorter than the separator window, so its expansion and the slack fit a
// working text.
static_assert(kSeparatorWindow + LineTemplate::kCopySlack <= kTextCapacity);

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
  // Padding that copy_piece's fixed blocks may read past a piece at the end of the line.
  text_.append(kCopySlack, '\0');
  return p == length;
}

void LineTemplate::index_children() {
  flat_ = true;
  for (Alternative& a : alternatives_) {
    a.first_child = static_cast<std::int32_t>(children_.size());
    for (int i = 0; i < a.piece_count; ++i) {
      const Piece& piece = pieces_[a.first_piece + i];
      if (piece.group >= 0) children_.push_back(piece.group);
    }
    a.child_count = static_cast<std::int32_t>(children_.size()) - a.first_child;
  }
  // Groups inside groups: then some alternatives other than the line's own hold groups.
  for (std::int32_t g = 0; g < static_cast<std::int32_t>(groups_.size()); ++g) {
    const Group& group = groups_[g];
    for (int i = 0; i < group.alternative_count; ++i) {
      if (alternatives_[group.first_alternative + i].child_count > 0) flat_ = false;
    }
  }
  queue_.assign(groups_.size(), 0);
  plain_ = text_.find_first_of("~;") == std::string::npos;
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
  // One queue holds the groups of one level, left to right, then those of the next.
  std::int32_t* queue = queue_.data();
  int head = 0;
  int tail = 0;
  const auto add_groups = [&](int alt) {
    const Alternative& a = alternatives_[alt];
    for (int i = 0; i < a.child_count; ++i) queue[tail++] = children_[a.first_child + i];
  };
  add_groups(alternative);
  int level_end = tail;
  for (int pass = 0; head < tail;) {
    if (head == level_end) {
      if (++pass == kMaxGroupPasses) break;
      level_end = tail;
    }
    const std::int32_t g = queue[head++];
    const Group& group = groups_[g];
    const int c =
        group.alternative_count > 1 ? scale_draw(random.rand(), group.alternative_count) : 0;
    chosen_[g] = c;
    add_groups(group.first_alternative + c);
  }
}

namespace {

// Copies one piece of literal text. Most pieces are a few bytes long: they are copied as one
// fixed block, which the text's padding and the output's slack make room for, so that they
// skip memcpy's dispatch on the length.
char* copy_piece(char* out, const char* from, std::int32_t length) {
  if (length <= LineTemplate::kCopySlack) {
    std::memcpy(out, from, LineTemplate::kCopySlack);
  } else {
    std::memcpy(out, from, static_cast<std::size_t>(length));
  }
  return out + length;
}

}  // namespace

char* LineTemplate::write(int alternative, char* out) const {
  // Local copies: a store through `out` could alias the members, which would be read again.
  const Piece* piece = pieces_.data() + alternatives_[alternative].first_piece;
  const Piece* const end = piece + alternatives_[alternative].piece_count;
  const char* const text = text_.data();
  const std::int32_t* const chosen = chosen_.data();
  for (; piece != end; ++piece) {
    const Piece here = *piece;
    if (here.group >= 0 && chosen[here.group] >= 0) {
      const int index = groups_[here.group].first_alternative + chosen[here.group];
      // Most chosen alternatives hold no group: their literal text needs no descent.
      out = alternatives_[index].child_count == 0 ? write_literals(index, out) : write(index, out);
      continue;
    }
    out = copy_piece(out, text + here.begin, here.end - here.begin);
  }
  return out;
}

char* LineTemplate::write_literals(int alternative, char* out) const {
  const Piece* literal = pieces_.data() + alternatives_[alternative].first_piece;
  const Piece* const end = literal + alternatives_[alternative].piece_count;
  const char* const text = text_.data();
  for (; literal != end; ++literal) {
    const Piece here = *literal;
    out = copy_piece(out, text + here.begin, here.end - here.begin);
  }
  return out;
}

// Without groups in groups, the one level of groups is chosen left to right as it is written,
// which draws as the level-by-level choice does.
char* LineTemplate::write_flat(int alternative, char* out, RandomSource& random) const {
  const Alternative& a = alternatives_[alternative];
  for (int i = 0; i < a.piece_count; ++i) {
    const Piece& piece = pieces_[a.first_piece + i];
    if (piece.group < 0) {
      out = copy_piece(out, text_.data() + piece.begin, piece.end - piece.begin);
      continue;
    }
    const Group& group = groups_[piece.group];
    const int c =
        group.alternative_count > 1 ? scale_draw(random.rand(), group.alternative_count) : 0;
    out = write_literals(group.first_alternative + c, out);
  }
  return out;
}

int LineTemplate::expand(char* out, RandomSource& random) {
  const int alternative =
      line_first_ + (line_count_ > 1 ? scale_draw(random.rand(), line_count_) : 0);
  char* end = nullptr;
  if (flat_) {
    end = write_flat(alternative, out, random);
  } else {
    choose(alternative, random);
    end = write(alternative, out);
  }
  *end = '\0';
  return static_cast<int>(end - out);
}

void LineTemplateCache::clear() {
  slots_.clear();
  used_ = 0;
  shift_ = 64;
  templates_.clear();
}

LineTemplateCache::Slot& LineTemplateCache::slot_of(const char* line) {
  const std::size_t mask = slots_.size() - 1;
  // Fibonacci hashing: the address times 2^64 / phi, its top bits.
  std::size_t i = static_cast<std::size_t>(
      (reinterpret_cast<std::uintptr_t>(line) * 0x9E3779B97F4A7C15ull) >> shift_);
  while (slots_[i].line && slots_[i].line != line) i = (i + 1) & mask;
  return slots_[i];
}

void LineTemplateCache::grow() {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(old.empty() ? 64 : old.size() * 2, Slot{});
  shift_ = 64 - std::countr_zero(slots_.size());
  for (const Slot& slot : old) {
    if (slot.line) slot_of(slot.line) = slot;
  }
}

LineTemplate* LineTemplateCache::find(const char* line) {
  if (slots_.empty()) grow();
  Slot* slot = &slot_of(line);
  if (!slot->line) {
    if (2 * (used_ + 1) > slots_.size()) {
      grow();
      slot = &slot_of(line);
    }
    ++used_;
    slot->line = line;
    LineTemplate compiled;
    if (compiled.compile(line)) {
      slot->index = static_cast<std::int32_t>(templates_.size());
      templates_.push_back(std::move(compiled));
    }
  }
  return slot->index >= 0 ? &templates_[slot->index] : nullptr;
}

}  // namespace plotwright
