// The depth of the language's four bracket pairs, ( ), [ ], < > and { }, over a text: where a
// `|` is at top level, and whether a line's brackets balance.
#pragma once

namespace plotwright {

struct BracketCounts {
  enum Pair { PAREN, SQUARE, ANGLE, BRACE, PAIRS };

  // Counts one single-byte character.
  void update(char byte) {
    switch (byte) {
      case '(':
        ++depth[PAREN];
        break;
      case ')':
        --depth[PAREN];
        break;
      case '[':
        ++depth[SQUARE];
        break;
      case ']':
        --depth[SQUARE];
        break;
      case '<':
        ++depth[ANGLE];
        break;
      case '>':
        --depth[ANGLE];
        break;
      case '{':
        ++depth[BRACE];
        break;
      case '}':
        --depth[BRACE];
        break;
      default:
        break;
    }
  }
  bool top_level() const {
    return !depth[PAREN] && !depth[SQUARE] && !depth[ANGLE] && !depth[BRACE];
  }

  int depth[PAIRS] = {};
};

}  // namespace plotwright
