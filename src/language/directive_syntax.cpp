// Reading the prefix of a directive's target token.
#include "language/directive_syntax.h"

namespace plotwright {

int read_directive_prefix(const char* token, Directive& code) {
  switch (token[0]) {
    case '!':
      code = Directive::DISABLE;
      return 1;
    case '#':
      code = Directive::ENABLE;
      return 1;
    case '*':
      code = Directive::PRIORITY_CLEAR;
      return 1;
    case '&':
      if (token[1] == '+' || token[1] == '-') {
        code = token[1] == '+' ? Directive::PRIORITY_UP : Directive::PRIORITY_DOWN;
        return 2;
      }
      code = Directive::PRIORITY_SET;
      return 1;
    default:
      code = Directive::JUMP;
      return 0;
  }
}

}  // namespace plotwright
