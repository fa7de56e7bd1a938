// The syntax of a jump directive's target token: the prefix that says what the directive does
// to the scene it names.
#pragma once

namespace plotwright {

// What a directive does to its scene.
enum class Directive {
  JUMP,            // no prefix
  DISABLE,         // !
  ENABLE,          // #
  PRIORITY_SET,    // &
  PRIORITY_UP,     // &+
  PRIORITY_DOWN,   // &-
  PRIORITY_CLEAR,  // *
};

// prefix -> '!' | '#' | '&+' | '&-' | '&' | '*' | nothing
// Reads the prefix of a target token into `code`; returns its length in bytes.
int read_directive_prefix(const char* token, Directive& code);

}  // namespace plotwright
