// Evaluating conditions.
#include "generator/conditions.h"

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

}  // namespace

Comparison evaluate_condition(const char* left, const char* right, VariableStore& variables) {
  if (!is_reference(left) && !is_reference(right)) {
    const int index = variables.find_variable(left);
    if (index < 0) return right[0] == '\0' ? Comparison::EQUAL : Comparison::DIFFERENT;
    return texts_equal(right, variables.slot(index).text.c_str()) ? Comparison::EQUAL
                                                                  : Comparison::DIFFERENT;
  }
  return compare_numbers(side_value(left, variables), side_value(right, variables));
}

bool test_condition_text(const char* text, VariableStore& variables) {
  ClassArray classes;
  classify_text(text, classes.data());
  TextBuffer left;
  TextBuffer right;
  int position = 0;
  Op op = Op::NONE;
  parse_condition(text, classes.data(), left.data(), right.data(), position, op);
  return condition_holds(op, evaluate_condition(left.data(), right.data(), variables));
}

}  // namespace plotwright
