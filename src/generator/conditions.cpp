// Parsing and evaluating conditions.
#include "generator/conditions.h"

#include <cstring>

#include "base/text.h"
#include "compiler/char_classes.h"

namespace plotwright {

int scan_token(const char* text, const std::int32_t* classes, int& position, const char* stops,
               char* out) {
  int length = 0;
  while (length < kTextCapacity) {
    const char byte = text[position];
    if (byte == '\0') break;
    if (classes[position] == CLASS_SINGLE && std::strchr(stops, byte)) {
      out[length] = '\0';
      return byte;
    }
    out[length++] = byte;
    ++position;
  }
  out[length] = '\0';
  return 0;
}

namespace {

// Reads the operator at the stop character; `=` and `!` always take two bytes.
int read_operator(const char* text, int stop, int& position) {
  const char next = text[position + 1];
  switch (stop) {
    case '=':
    case '!':
      position += next == '\0' ? 1 : 2;
      return stop == '=' ? OP_EQ : OP_NE;
    case '<':
      position += next == '=' ? 2 : 1;
      return next == '=' ? OP_LE : OP_LT;
    default:  // '>'
      position += next == '=' ? 2 : 1;
      return next == '=' ? OP_GE : OP_GT;
  }
}

}  // namespace

bool parse_condition(const char* text, const std::int32_t* classes, char* left, char* right,
                     int& position, int& op) {
  const int stop = scan_token(text, classes, position, "!=><", left);
  if (stop == 0) {
    op = OP_NONE;
    right[0] = '\0';
    return false;
  }
  op = read_operator(text, stop, position);
  if (scan_token(text, classes, position, ">", right) != '>') return false;
  ++position;
  return true;
}

namespace {

bool is_reference(const char* side) {
  return side[0] == '%' || side[0] == '$';
}

double reference_value(const char* side, const VariableStore& variables) {
  const int index = variables.find_variable(side + 1);
  if (index < 0) return 0;
  const VariableSlot& slot = variables.slot(index);
  return side[0] == '%' ? slot.number : static_cast<double>(slot.uses);
}

double side_value(const char* side, const VariableStore& variables) {
  if (is_reference(side)) return reference_value(side, variables);
  double value = 0;
  parse_number(side, value);
  return value;
}

int compare_numbers(double left, double right) {
  if (left == right) return CMP_EQUAL;
  return left < right ? CMP_LESS : CMP_GREATER;
}

}  // namespace

int evaluate_condition(const char* left, const char* right, const VariableStore& variables) {
  if (!is_reference(left) && !is_reference(right)) {
    const int index = variables.find_variable(left);
    if (index < 0) return right[0] == '\0' ? CMP_EQUAL : CMP_DIFFERENT;
    return texts_equal(right, variables.slot(index).text.c_str()) ? CMP_EQUAL : CMP_DIFFERENT;
  }
  return compare_numbers(side_value(left, variables), side_value(right, variables));
}

bool condition_holds(int op, int comparison) {
  switch (op) {
    case OP_EQ:
      return comparison == CMP_EQUAL;
    case OP_NE:
      return comparison != CMP_EQUAL;
    case OP_LE:
      return comparison == CMP_EQUAL || comparison == CMP_LESS;
    case OP_LT:
      return comparison == CMP_LESS;
    case OP_GE:
      return comparison == CMP_EQUAL || comparison == CMP_GREATER;
    case OP_GT:
      return comparison == CMP_GREATER;
    default:
      return false;
  }
}

bool test_condition_text(const char* text, const VariableStore& variables) {
  ClassArray classes;
  classify_text(text, classes.data());
  TextBuffer left;
  TextBuffer right;
  int position = 0;
  int op = OP_NONE;
  parse_condition(text, classes.data(), left.data(), right.data(), position, op);
  return condition_holds(op, evaluate_condition(left.data(), right.data(), variables));
}

}  // namespace plotwright
