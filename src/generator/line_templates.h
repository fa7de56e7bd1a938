// Compiled forms of simple text lines, so that lines run in every story are not re-parsed.
//
// A line is simple when it is shorter than 1024 bytes, every byte is a printable ASCII
// character or a tab, it holds none of `[ ] < > { } /`, and its parentheses nest properly.
// For such a line the bracket check always passes, the line is never a jump directive, and
// expanding its alternatives and groups reduces to a walk over a tree of groups: the groups
// of one nesting level are chosen left to right before those of the next, at most ten levels
// deep, which draws the same random numbers in the same order as the pass-by-pass expansion
// and yields the same text.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/random_source.h"

namespace plotwright {

class LineTemplate {
 public:
  // Parses `line`; false when the line is not simple.
  [[nodiscard]] bool compile(const char* line);
  // Bytes past the expansion's end that `expand` may write (and then overwrite or leave).
  static constexpr int kCopySlack = 16;

  // Writes the expansion into `out`, which has room for the line's length plus kCopySlack
  // plus a terminator (a TextBuffer has); returns its length. The expansion is a plain line:
  // single-byte characters without `[ ] < > { } /`.
  int expand(char* out, RandomSource& random);
  // Whether the line holds neither `~` nor `;`, so its expansions are shown as they are.
  bool plain() const { return plain_; }

 private:
  struct Piece {
    std::int32_t begin;  // literal text [begin, end) of the line, or the raw text of the group
    std::int32_t end;
    std::int32_t group;  // -1 for literal text
  };
  struct Alternative {
    std::int32_t first_piece;
    std::int32_t piece_count;
    std::int32_t first_child = 0;  // its groups, in `children_`
    std::int32_t child_count = 0;
  };
  struct Group {
    std::int32_t first_alternative;
    std::int32_t alternative_count;
  };

  [[nodiscard]] bool parse_alternatives(int& p, bool in_group, std::int32_t& first,
                                        std::int32_t& count);
  [[nodiscard]] bool parse_pieces(int& p, Alternative& alternative);
  void index_children();
  void choose(int alternative, RandomSource& random);
  char* write(int alternative, char* out) const;
  char* write_literals(int alternative, char* out) const;  // of an alternative without groups
  char* write_flat(int alternative, char* out, RandomSource& random) const;

  std::string text_;
  std::vector<Piece> pieces_;
  std::vector<Alternative> alternatives_;
  std::vector<Group> groups_;
  std::vector<std::int32_t> children_;  // each alternative's groups, left to right
  bool flat_ = true;                    // no group holds another group
  bool plain_ = true;                   // no `~` or `;`: the expansion is appended as it is
  std::int32_t line_first_ = 0;         // the line's own top-level alternatives
  std::int32_t line_count_ = 0;
  // The chosen alternative of each group, -1 for the groups below the tenth level, which are
  // never expanded; every other group that a written alternative holds was chosen in the
  // same expansion.
  std::vector<std::int32_t> chosen_;
  std::vector<std::int32_t> queue_;  // the groups still to choose, level by level
};

// The templates of one compiled scenario, keyed by the line's address in the source store.
class LineTemplateCache {
 public:
  // The template of `line`, compiled at first sight; null when the line is not simple.
  LineTemplate* find(const char* line);
  // Forgets every template; call when the scenario is compiled again.
  void clear();

 private:
  // An open-addressing table keyed by the line's address: every line of every story is looked
  // up here, and a general hash map's division costs more than the rest of the look-up.
  struct Slot {
    const char* line = nullptr;
    std::int32_t index = -1;  // into templates_; -1 for a line that is not simple
  };
  Slot& slot_of(const char* line);
  void grow();

  std::vector<Slot> slots_;  // a power of two, at most half of them used
  std::size_t used_ = 0;
  int shift_ = 64;
  std::vector<LineTemplate> templates_;
};

}  // namespace plotwright
