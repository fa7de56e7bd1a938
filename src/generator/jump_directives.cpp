// Parsing jump directives and checking brackets.
#include "generator/jump_directives.h"

#include "base/text.h"
#include "generator/conditions.h"
#include "language/brackets.h"

namespace plotwright {

namespace {

bool single_is(const char* line, const CharClass* classes, int p, char byte) {
  return classes[p] == CharClass::SINGLE && line[p] == byte;
}

// Adds an alternative to `report`, or returns null without one.
AlternativeReport* add_alternative(JumpReport* report) {
  if (!report) return nullptr;
  report->alternatives.emplace_back();
  return &report->alternatives.back();
}

void note_target(AlternativeReport* tried, const char* token) {
  if (!tried) return;
  const int prefix = read_directive_prefix(token, tried->kind);
  tried->name = token + prefix;
}

// Finds the first alternative that is taken and leaves its token in `token`; `report`, when
// given, receives each alternative tried.
bool take_alternative(const char* line, const CharClass* classes, VariableStore& variables,
                      char* token, JumpReport* report) {
  TextBuffer left;
  TextBuffer right;
  int p = 0;
  for (;;) {
    if (classes[p] != CharClass::SINGLE || (line[p] != '{' && line[p] != '<' && line[p] != ';')) {
      return false;
    }
    if (line[p] == '{') ++p;
    if (single_is(line, classes, p, ';')) ++p;
    if (line[p] == '\0') return false;
    bool taken = true;
    AlternativeReport* tried = add_alternative(report);
    if (line[p] == '<' && classes[p] != CharClass::TRAIL) {
      ++p;
      Op op = Op::NONE;
      parse_condition(line, classes, left.data(), right.data(), p, op);
      taken = condition_holds(op, evaluate_condition(left.data(), right.data(), variables));
      if (tried) {
        tried->conditional = true;
        tried->holds = taken;
        tried->reading = describe_condition(left.data(), right.data(), op, variables);
      }
    }
    scan_token(line, classes, p, "}<;", token);
    note_target(tried, token);
    if (taken) return true;
  }
}

}  // namespace

int parse_jump_directive(const char* line, const CharClass* classes, Directive& code,
                         const SceneTable& scenes, VariableStore& variables, OutputBuffers& output,
                         JumpReport* report) {
  if (report) {
    report->alternatives.clear();  // keeps its room for the next line
    report->taken = false;
    report->scene = 0;
    report->disabled = false;
  }
  if (!single_is(line, classes, 0, '{')) {
    code = Directive::JUMP;
    return 0;
  }
  TextBuffer token;
  if (!take_alternative(line, classes, variables, token.data(), report)) return -1;
  const int prefix = read_directive_prefix(token.data(), code);
  const int scene = resolve_scene_ref(token.data() + prefix, scenes);
  if (report) {
    report->taken = true;
    report->scene = scene;
  }
  if (scene != 0) return scene;
  output.pending_put_text("scene \"");
  output.pending_put_text(token.data());
  output.pending_put_text("\" not found");
  return 0;
}

bool check_brackets(const char* line, const CharClass* classes, OutputBuffers& output) {
  static constexpr BracketCounts::Pair kChecked[] = {BracketCounts::PAREN, BracketCounts::SQUARE,
                                                     BracketCounts::BRACE};
  static constexpr const char* kMismatch[] = {" mismatch found at count of ()",
                                              " mismatch found at count of []",
                                              " mismatch found at count of {}"};
  BracketCounts counts;
  for (int p = 0; p < kSeparatorWindow && line[p] != '\0'; ++p) {
    if (classes[p] == CharClass::SINGLE) counts.update(line[p]);
  }
  bool balanced = true;
  for (const BracketCounts::Pair pair : kChecked) balanced = balanced && !counts.depth[pair];
  if (balanced) return true;
  output.pending_put_text("illegal parenthesis in message ");
  output.pending_put_text("\"");
  output.pending_put_text(line);
  output.pending_put_text("\"");
  for (int i = 0; i < 3; ++i) {
    if (counts.depth[kChecked[i]]) output.pending_put_text(kMismatch[i]);
  }
  output.flush_pending_line();
  return false;
}

}  // namespace plotwright
