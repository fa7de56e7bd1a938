// Parsing jump directives and checking brackets.
#include "generator/jump_directives.h"

#include "base/text.h"
#include "compiler/char_classes.h"
#include "generator/conditions.h"

namespace plotwright {

namespace {

bool single_is(const char* line, const std::int32_t* classes, int p, char byte) {
  return classes[p] == CLASS_SINGLE && line[p] == byte;
}

// Reads the prefix of a taken token; returns its length.
int read_prefix(const char* token, int& code) {
  switch (token[0]) {
    case '!':
      code = DIRECTIVE_DISABLE;
      return 1;
    case '#':
      code = DIRECTIVE_ENABLE;
      return 1;
    case '*':
      code = DIRECTIVE_PRIORITY_CLEAR;
      return 1;
    case '&':
      if (token[1] == '+') {
        code = DIRECTIVE_PRIORITY_UP;
        return 2;
      }
      if (token[1] == '-') {
        code = DIRECTIVE_PRIORITY_DOWN;
        return 2;
      }
      code = DIRECTIVE_PRIORITY_SET;
      return 1;
    default:
      code = DIRECTIVE_JUMP;
      return 0;
  }
}

// Finds the first alternative that is taken and leaves its token in `token`.
bool take_alternative(const char* line, const std::int32_t* classes, const VariableStore& variables,
                      char* token) {
  TextBuffer left;
  TextBuffer right;
  int p = 0;
  for (;;) {
    if (classes[p] != CLASS_SINGLE || (line[p] != '{' && line[p] != '<' && line[p] != ';')) {
      return false;
    }
    if (line[p] == '{') ++p;
    if (single_is(line, classes, p, ';')) ++p;
    if (line[p] == '\0') return false;
    bool taken = true;
    if (line[p] == '<' && classes[p] != CLASS_TRAIL) {
      ++p;
      int op = 0;
      parse_condition(line, classes, left.data(), right.data(), p, op);
      taken = condition_holds(op, evaluate_condition(left.data(), right.data(), variables));
    }
    scan_token(line, classes, p, "}<;", token);
    if (taken) return true;
  }
}

}  // namespace

int parse_jump_directive(const char* line, const std::int32_t* classes, int& code,
                         const SceneTable& scenes, const VariableStore& variables,
                         OutputBuffers& output) {
  if (!single_is(line, classes, 0, '{')) {
    code = DIRECTIVE_JUMP;
    return 0;
  }
  TextBuffer token;
  if (!take_alternative(line, classes, variables, token.data())) return -1;
  const int prefix = read_prefix(token.data(), code);
  const int scene = resolve_scene_ref(token.data() + prefix, scenes);
  if (scene != 0) return scene;
  output.pending_put_text("scene \"");
  output.pending_put_text(token.data());
  output.pending_put_text("\" not found");
  return 0;
}

int check_brackets(const char* line, const std::int32_t* classes, OutputBuffers& output) {
  static constexpr const char* kMismatch[] = {" mismatch found at count of ()",
                                              " mismatch found at count of []",
                                              " mismatch found at count of {}"};
  int counters[3] = {0, 0, 0};
  for (int p = 0; p < kSeparatorWindow && line[p] != '\0'; ++p) {
    if (classes[p] != CLASS_SINGLE) continue;
    switch (line[p]) {
      case '(':
        ++counters[0];
        break;
      case ')':
        --counters[0];
        break;
      case '[':
        ++counters[1];
        break;
      case ']':
        --counters[1];
        break;
      case '{':
        ++counters[2];
        break;
      case '}':
        --counters[2];
        break;
      default:
        break;
    }
  }
  if (!counters[0] && !counters[1] && !counters[2]) return 0;
  output.pending_put_text("illegal parenthesis in message ");
  output.pending_put_text("\"");
  output.pending_put_text(line);
  output.pending_put_text("\"");
  for (int i = 0; i < 3; ++i) {
    if (counters[i]) output.pending_put_text(kMismatch[i]);
  }
  output.flush_pending_line();
  return 1;
}

}  // namespace plotwright
