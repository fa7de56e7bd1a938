// Evaluating conditions against the variables: `%name` and `$name` compare as numbers, a text
// variable's stored text with a literal.
#pragma once

#include <string>

#include "generator/variables.h"
#include "language/condition_syntax.h"

namespace plotwright {

// Compares the two sides: numbers (`%name`, `$name`, or literals converted as numbers) or a
// text variable's stored text with a literal. Undefined variables and non-numbers count as 0.
Comparison evaluate_condition(const char* left, const char* right, VariableStore& variables);

// What a condition read, for people, in the scenario's encoding: "%storm = 1, wanted 2",
// "%a = 1, %b = 2, wanted >= %b", "name = "Ann", wanted not "Bo"".
std::string describe_condition(const char* left, const char* right, Op op,
                               VariableStore& variables);

// Classifies `text`, parses one condition from its first byte, evaluates and tests it.
// With `reading`, also describes what the condition read there.
bool test_condition_text(const char* text, VariableStore& variables,
                         std::string* reading = nullptr);

}  // namespace plotwright
