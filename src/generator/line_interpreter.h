// The line interpreter: turns one expanded text line into story text, switching output by
// conditions and carrying out the variable operations written in it.
#pragma once

#include <cstdint>

#include "base/random_source.h"
#include "base/text.h"
#include "generator/variables.h"
#include "language/char_classes.h"
#include "output/output_buffers.h"

namespace plotwright {

class LineInterpreter {
 public:
  LineInterpreter(OutputBuffers& output, VariableStore& variables, RandomSource& random)
      : output_(output), variables_(variables), random_(random) {}

  // line -> '-' literal | '#' ignored | { text | '/' | ';' | '{' | '}' | '<' condition '>'
  //                                     | '[' bracket-operation ']' } ['-']
  // `classes` must classify `line`.
  void interpret_line(const char* line, const CharClass* classes);

  // The same for a plain line: `length` single-byte characters without `[ ] < > { } /`, as
  // the compiled simple lines expand to. No condition, variable, comment or line break can
  // occur in it, so only a leading `-` or `#`, `~`, `;` and a final `-` act, and the line
  // needs no classes.
  // `plain` says that the line holds no `~` and no `;`.
  void interpret_plain_line(const char* line, int length, bool plain = false);

 private:
  struct LineState {
    bool output_on = true;
    int comment_depth = 0;
    int added = 0;
  };

  void literal_line(const char* line, const CharClass* classes);
  int condition(const char* line, const CharClass* classes, int p, LineState& state);
  int bracket_operation(const char* line, const CharClass* classes, int p, LineState& state);
  int assignment(const char* line, const CharClass* classes, int p, const LineState& state);
  int addition(const char* line, const CharClass* classes, int p, char sign,
               const LineState& state);

  OutputBuffers& output_;
  VariableStore& variables_;
  RandomSource& random_;
  TextBuffer name_;
  TextBuffer value_;
  TextBuffer expanded_;
};

}  // namespace plotwright
