// Scanning tokens and parsing conditions.
#include "language/condition_syntax.h"

#include <cstring>

namespace plotwright {

int scan_token(const char* text, const CharClass* classes, int& position, const char* stops,
               char* out) {
  int length = 0;
  while (length < kTextCapacity) {
    const char byte = text[position];
    if (byte == '\0') break;
    if (classes[position] == CharClass::SINGLE && std::strchr(stops, byte)) {
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
Op read_operator(const char* text, int stop, int& position) {
  const char next = text[position + 1];
  switch (stop) {
    case '=':
    case '!':
      position += next == '\0' ? 1 : 2;
      return stop == '=' ? Op::EQ : Op::NE;
    case '<':
      position += next == '=' ? 2 : 1;
      return next == '=' ? Op::LE : Op::LT;
    default:  // '>'
      position += next == '=' ? 2 : 1;
      return next == '=' ? Op::GE : Op::GT;
  }
}

}  // namespace

bool parse_condition(const char* text, const CharClass* classes, char* left, char* right,
                     int& position, Op& op) {
  const int stop = scan_token(text, classes, position, "!=><", left);
  if (stop == 0) {
    op = Op::NONE;
    right[0] = '\0';
    return false;
  }
  op = read_operator(text, stop, position);
  if (scan_token(text, classes, position, ">", right) != '>') return false;
  ++position;
  return true;
}

bool condition_holds(Op op, Comparison comparison) {
  switch (op) {
    case Op::EQ:
      return comparison == Comparison::EQUAL;
    case Op::NE:
      return comparison != Comparison::EQUAL;
    case Op::LE:
      return comparison == Comparison::EQUAL || comparison == Comparison::LESS;
    case Op::LT:
      return comparison == Comparison::LESS;
    case Op::GE:
      return comparison == Comparison::EQUAL || comparison == Comparison::GREATER;
    case Op::GT:
      return comparison == Comparison::GREATER;
    case Op::NONE:
      return false;
  }
  return false;
}

}  // namespace plotwright
