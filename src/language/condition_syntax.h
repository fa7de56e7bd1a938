// The syntax of conditions, `<left op right>`, and the token scanner that the language's
// parsers share. Evaluating a condition needs the variables: the generator does that.
#pragma once

#include "language/char_classes.h"

namespace plotwright {

enum class Op {
  EQ,  // ==
  NE,  // !=
  LE,  // <=
  LT,  // <
  GE,  // >=
  GT,  // >
  // A left side that runs to the end without an operator: such a condition never holds.
  NONE,
};

// How the two sides of a condition compare.
enum class Comparison { EQUAL, LESS, GREATER, DIFFERENT };

// Copies bytes from `position` into `out` (kTextCapacity + 1 bytes, always terminated) until
// the terminator (result 0), a single-byte character of `stops` (result: that character; the
// position stays on it) or 4096 bytes copied (result 0).
int scan_token(const char* text, const CharClass* classes, int& position, const char* stops,
               char* out);

// condition -> left ('==' | '!=' | '<=' | '<' | '>=' | '>') right '>'
// `position` starts just after the `<` and ends just past the closing `>`; when the condition
// never closes it stays on the terminator, so callers see the end of the text. Returns whether
// the condition was closed by its `>`.
bool parse_condition(const char* text, const CharClass* classes, char* left, char* right,
                     int& position, Op& op);

bool condition_holds(Op op, Comparison comparison);

}  // namespace plotwright
