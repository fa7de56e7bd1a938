// Interpreting one text line: text, line breaks, joins, comments, conditions, variables.
#include "generator/line_interpreter.h"

#include <cstring>

#include "generator/alternatives.h"
#include "generator/conditions.h"

namespace plotwright {

void LineInterpreter::literal_line(const char* line, const CharClass* classes) {
  for (int p = 0; p < kTextCapacity && line[p] != '\0'; ++p) {
    const bool tilde = classes[p] == CharClass::SINGLE && line[p] == '~';
    output_.pending_put_char(tilde ? ' ' : line[p]);
  }
  output_.flush_pending_line();
}

void LineInterpreter::interpret_line(const char* line, const CharClass* classes) {
  if (classes[0] == CharClass::SINGLE && line[0] == '-') {
    literal_line(line, classes);
    return;
  }
  if (classes[0] == CharClass::SINGLE && line[0] == '#') {
    if (output_.line_ended_flag == 0) output_.flush_pending_line();
    output_.paragraph_flag = 1;
    return;
  }
  LineState state;
  bool after_condition = false;  // the byte right after a condition is text or `[`
  int p = 0;
  while (p < kTextCapacity) {
    const char byte = line[p];
    if (byte == '\0') {
      if (state.added != 0) {
        output_.flush_pending_line();
      } else {
        output_.join_flag = 0;
      }
      return;
    }
    const bool single = classes[p] == CharClass::SINGLE;
    if (single && !after_condition) {
      switch (byte) {
        case '-':
          if (line[p + 1] != '\0') break;
          output_.join_flag = 1;
          ++p;
          continue;
        case '/':
          output_.join_flag = 0;
          output_.flush_pending_line();
          state.added = 0;
          ++p;
          continue;
        case ';':
          state.output_on = true;
          ++p;
          continue;
        case '{':
          ++state.comment_depth;
          ++p;
          continue;
        case '}':
          --state.comment_depth;
          ++p;
          continue;
        case '<':
          p = condition(line, classes, p + 1, state);
          after_condition = true;
          continue;
        default:
          break;
      }
    }
    after_condition = false;
    if (state.comment_depth != 0) {
      ++p;
    } else if (single && byte == '[') {
      p = bracket_operation(line, classes, p + 1, state);
    } else {
      if (state.output_on) {
        output_.pending_put_char(single && byte == '~' ? ' ' : byte);
        ++state.added;
      }
      ++p;
    }
  }
}

void LineInterpreter::interpret_plain_line(const char* line, int length, bool plain) {
  if (line[0] == '-' || line[0] == '#') {
    ClassArray classes;
    classify_text(line, classes.data());
    interpret_line(line, classes.data());
    return;
  }
  const bool joins = length > 0 && line[length - 1] == '-';
  const int end = joins ? length - 1 : length;
  const std::size_t size = end > 0 ? static_cast<std::size_t>(end) : 0;
  int added = end;
  if (plain || (!std::memchr(line, '~', size) && !std::memchr(line, ';', size))) {
    output_.pending_put_bytes(line, end);
  } else {
    added = 0;
    for (int p = 0; p < end; ++p) {
      const char byte = line[p];
      if (byte == ';') continue;  // output on: it is never off in a plain line
      output_.pending_put_char(byte == '~' ? ' ' : byte);
      ++added;
    }
  }
  if (joins) output_.join_flag = 1;
  if (added != 0) {
    output_.flush_pending_line();
  } else {
    output_.join_flag = 0;
  }
}

// Sets the output switch to the condition's truth; returns the position after its `>`.
int LineInterpreter::condition(const char* line, const CharClass* classes, int p,
                               LineState& state) {
  Op op = Op::NONE;
  parse_condition(line, classes, name_.data(), value_.data(), p, op);
  state.output_on =
      condition_holds(op, evaluate_condition(name_.data(), value_.data(), variables_));
  return p;
}

// Returns the position at which scanning goes on.
int LineInterpreter::bracket_operation(const char* line, const CharClass* classes, int p,
                                       LineState& state) {
  const int stop = scan_token(line, classes, p, "=+-]", name_.data());
  switch (stop) {
    case ']':
      if (state.output_on) state.added += variables_.print_variable(name_.data());
      return p + 1;
    case '=':
      return assignment(line, classes, p + 1, state);
    case '+':
    case '-':
      return addition(line, classes, p, static_cast<char>(stop), state);
    default:
      return p;  // the line ended inside the name
  }
}

// `[name=value]` chooses the value's alternatives now and is carried out even while output
// is off; `[name=(...)]` keeps the template, to be chosen at every print.
int LineInterpreter::assignment(const char* line, const CharClass* classes, int p,
                                const LineState& state) {
  const bool template_value = line[p] == '(';
  const int stop = scan_token(line, classes, p, "]", value_.data());
  if (template_value) {
    if (state.output_on) variables_.assign_variable(name_.data(), value_.data());
  } else {
    expand_alternatives(value_.data(), expanded_.data(), random_);
    expand_groups(expanded_.data(), random_);
    variables_.assign_variable(name_.data(), expanded_.data());
  }
  return stop == ']' ? p + 1 : p;
}

// At `p` stands the `+` or `-` after the name: `+=n`, `-=n`, `++`, `--`, or nothing.
int LineInterpreter::addition(const char* line, const CharClass* classes, int p, char sign,
                              const LineState& state) {
  const double direction = sign == '+' ? 1.0 : -1.0;
  const char next = line[p + 1];
  if (next == '=') {
    p += 2;
    const int stop = scan_token(line, classes, p, "]", value_.data());
    double amount = 0;
    parse_number(value_.data(), amount);
    if (state.output_on) variables_.add_to_variable(name_.data(), direction * amount);
    return stop == ']' ? p + 1 : p;
  }
  if (next == sign) {
    if (state.output_on) variables_.add_to_variable(name_.data(), direction);
    return line[p + 2] == '\0' ? p + 2 : p + 3;
  }
  return p + 1;
}

}  // namespace plotwright
