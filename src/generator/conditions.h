// Conditions, `<left op right>`: parsing, evaluation and the operator test; and the token
// scanner that the language's parsers share.
#pragma once

#include <cstdint>

#include "generator/variables.h"

namespace plotwright {

inline constexpr int OP_EQ = 0;
inline constexpr int OP_NE = 1;
inline constexpr int OP_LE = -2;
inline constexpr int OP_LT = -3;
inline constexpr int OP_GE = 2;
inline constexpr int OP_GT = 3;
// A left side that runs to the end without an operator: such a condition never holds.
inline constexpr int OP_NONE = 99;

inline constexpr int CMP_EQUAL = 1;
inline constexpr int CMP_LESS = -3;
inline constexpr int CMP_GREATER = 3;
inline constexpr int CMP_DIFFERENT = 0;

// Copies bytes from `position` into `out` (kTextCapacity + 1 bytes, always terminated) until
// the terminator (result 0), a single-byte character of `stops` (result: that character; the
// position stays on it) or 4096 bytes copied (result 0).
int scan_token(const char* text, const std::int32_t* classes, int& position, const char* stops,
               char* out);

// condition -> left ('==' | '!=' | '<=' | '<' | '>=' | '>') right '>'
// `position` starts just after the `<` and ends just past the closing `>`; when the condition
// never closes it stays on the terminator, so callers see the end of the text. Returns whether
// the condition was closed by its `>`.
bool parse_condition(const char* text, const std::int32_t* classes, char* left, char* right,
                     int& position, int& op);

// Compares the two sides: numbers (`%name`, `$name`, or literals converted as numbers) or a
// text variable's stored text with a literal. Undefined variables and non-numbers count as 0.
int evaluate_condition(const char* left, const char* right, const VariableStore& variables);

bool condition_holds(int op, int comparison);

// Classifies `text`, parses one condition from its first byte, evaluates and tests it.
bool test_condition_text(const char* text, const VariableStore& variables);

}  // namespace plotwright
