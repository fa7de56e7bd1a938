// Evaluating conditions.
#include "generator/conditions.h"

#include <cstdio>

#include "base/limits.h"
#include "base/text.h"

namespace plotwright {

namespace {

bool is_reference(const char* side) {
  return side[0] == '%' || side[0] == '$';
}

double reference_value(const char* side, VariableStore& variables) {
  const int index = variables.find_variable(side + 1);
  if (index < 0) return 0;
  const VariableSlot& slot = variables.slot(index);
  return side[0] == '%' ? slot.number : static_cast<double>(slot.uses);
}

double side_value(const char* side, VariableStore& variables) {
  if (is_reference(side)) return reference_value(side, variables);
  double value = 0;
  parse_number(side, value);
  return value;
}

Comparison compare_numbers(double left, double right) {
  if (left == right) return Comparison::EQUAL;
  return left < right ? Comparison::LESS : Comparison::GREATER;
}

// The words before the right side: "wanted 2", "wanted not 2", "wanted >= 2".
const char* wanted_words(Op op) {
  switch (op) {
    case Op::EQ:
      return ", wanted ";
    case Op::NE:
      return ", wanted not ";
    case Op::LE:
      return ", wanted <= ";
    case Op::LT:
      return ", wanted < ";
    case Op::GE:
      return ", wanted >= ";
    case Op::GT:
      return ", wanted > ";
    case Op::NONE:
      break;
  }
  return ", no comparison: never holds";
}

const char* op_symbol(Op op) {
  static constexpr const char* kSymbols[] = {"==", "!=", "<=", "<", ">=", ">", ""};
  return kSymbols[static_cast<int>(op)];
}

// "%storm = 1": a reference and the number it read, in the shortest form that reads back as
// it (printf's rather than to_chars, which not every standard library has for doubles).
std::string reference_reading(const char* side, VariableStore& variables) {
  const double value = side_value(side, variables);
  char number[kNumberTextCapacity];
  for (int precision = 15; precision <= 17; ++precision) {
    std::snprintf(number, sizeof number, "%.*g", precision, value);
    double read = 0;
    if (parse_number(number, read) && read == value) break;
  }
  return std::string(side) + " = " + number;
}

}  // namespace

std::string describe_condition(const char* left, const char* right, Op op,
                               VariableStore& variables) {
  std::string out;
  if (!is_reference(left) && !is_reference(right)) {
    const int index = variables.find_variable(left);
    out = std::string(left) + " = \"" + (index < 0 ? "" : variables.slot(index).text) + "\"";
    if (op == Op::NONE) return out + wanted_words(op);
    return out + wanted_words(op) + "\"" + right + "\"";
  }
  if (is_reference(left)) out = reference_reading(left, variables);
  if (is_reference(right)) out += (out.empty() ? "" : ", ") + reference_reading(right, variables);
  if (op == Op::NONE) return out + wanted_words(op);
  // A literal on the left keeps the condition's order: "wanted 2 < %storm".
  if (!is_reference(left)) return out + ", wanted " + left + " " + op_symbol(op) + " " + right;
  return out + wanted_words(op) + right;
}

Comparison evaluate_condition(const char* left, const char* right, VariableStore& variables) {
  if (!is_reference(left) && !is_reference(right)) {
    const int index = variables.find_variable(left);
    if (index < 0) return right[0] == '\0' ? Comparison::EQUAL : Comparison::DIFFERENT;
    return texts_equal(right, variables.slot(index).text.c_str()) ? Comparison::EQUAL
                                                                  : Comparison::DIFFERENT;
  }
  return compare_numbers(side_value(left, variables), side_value(right, variables));
}

bool test_condition_text(const char* text, VariableStore& variables, std::string* reading) {
  ClassArray classes;
  classify_text(text, classes.data());
  TextBuffer left;
  TextBuffer right;
  int position = 0;
  Op op = Op::NONE;
  parse_condition(text, classes.data(), left.data(), right.data(), position, op);
  if (reading) *reading = describe_condition(left.data(), right.data(), op, variables);
  return condition_holds(op, evaluate_condition(left.data(), right.data(), variables));
}

}  // namespace plotwright
