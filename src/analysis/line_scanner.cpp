// Reading lines for what they hold, as the generator would meet it.
#include "analysis/line_scanner.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/text.h"

namespace plotwright {

namespace {

// The first 4095 bytes of a stored line, as the engine runs it, with their classes.
struct BoundedLine {
  explicit BoundedLine(const char* line) {
    copy_text(text.data(), line, kTextMaxLength);
    classify_text(text.data(), classes.data());
  }
  TextBuffer text;
  ClassArray classes;
};

bool is_reference(const char* side) {
  return side[0] == '%' || side[0] == '$';
}

bool single_is(const char* text, const CharClass* classes, int p, char byte) {
  return classes[p] == CharClass::SINGLE && text[p] == byte;
}

int length_of(const char* text) {
  return static_cast<int>(std::strlen(text));
}

// The kinds of use whose first one for a name the checks report.
constexpr unsigned kSetting = 1, kReading = 2, kAsText = 4, kAsNumber = 8;

unsigned kinds_of(VariableAccess access, bool compared) {
  const bool set = access == VariableAccess::SET_TEXT || access == VariableAccess::SET_NUMBER;
  const bool number = access == VariableAccess::SET_NUMBER || access == VariableAccess::READ_NUMBER;
  // A text compared with a constant is reported with its condition, not as a reading.
  const unsigned role = compared ? 0u : set ? kSetting : kReading;
  return role | (number ? kAsNumber : kAsText);
}

}  // namespace

// Beyond the line's allowance, only a use that is the first of one of its kinds is kept.
void LineScanner::add_use(int line, int block, const char* name, int begin, VariableAccess access,
                          bool compared) {
  const unsigned kinds = kinds_of(access, compared);
  unsigned& met = kinds_met_[name];
  const bool first = (kinds & ~met) != 0;
  met |= kinds;
  if (uses_left_ > 0) {
    --uses_left_;
  } else if (!first) {
    return;
  }
  model_.variables.push_back(ModelVariableUse{
      name, access, block, map_.range(line, begin, begin + length_of(name)), compared});
}

// condition -> '<' left op right '>'; `p` is on the `<`. Returns the position after it.
int LineScanner::scan_condition(int line, int block, const char* text, const CharClass* classes,
                                int p) {
  TextBuffer left;
  TextBuffer right;
  int position = p + 1;
  Op op = Op::NONE;
  const bool closed = parse_condition(text, classes, left.data(), right.data(), position, op);
  if (conditions_left_ > 0 || !closed) {
    conditions_left_ = std::max(conditions_left_ - 1, 0);
    model_.conditions.push_back(ModelCondition{block, left.data(), right.data(), op, closed,
                                               map_.range(line, p, position)});
  }
  if (op == Op::NONE) return position;  // never holds: nothing is read
  const int right_begin = position - (closed ? 1 : 0) - length_of(right.data());
  if (!is_reference(left.data()) && !is_reference(right.data())) {
    add_use(line, block, left.data(), p + 1, VariableAccess::READ_TEXT, true);
    return position;
  }
  const auto read = [&](const char* side, int begin) {
    if (side[0] == '%') add_use(line, block, side + 1, begin + 1, VariableAccess::READ_NUMBER);
    if (side[0] == '$') add_use(line, block, side + 1, begin + 1, VariableAccess::READ_USES);
  };
  read(left.data(), p + 1);
  read(right.data(), right_begin);
  return position;
}

// operation -> '[' name ']' | '[' name '=' value ']' | '[' '%' name ('+=' | '-=') n ']'
//            | '[' '%' name ('++' | '--') ']'; `p` is on the `[`. Returns where scanning goes on.
int LineScanner::scan_bracket_operation(int line, int block, const char* text,
                                        const CharClass* classes, int p) {
  TextBuffer token;
  TextBuffer value;
  int q = p + 1;
  const int stop = scan_token(text, classes, q, "=+-]", token.data());
  const char* name = token.data();
  const bool numeric = name[0] == '%';
  if (stop == ']') {
    const int skip = numeric ? (name[1] == 'D' ? 2 : 1) : 0;
    add_use(line, block, name + skip, p + 1 + skip,
            numeric ? VariableAccess::READ_NUMBER : VariableAccess::READ_TEXT);
    return q + 1;
  }
  if (stop == '=') {
    add_use(line, block, name + (numeric ? 1 : 0), p + (numeric ? 2 : 1),
            numeric ? VariableAccess::SET_NUMBER : VariableAccess::SET_TEXT);
    ++q;
  } else if (stop == '+' || stop == '-') {
    const bool changes = text[q + 1] == '=' || text[q + 1] == stop;
    if (numeric && changes) add_use(line, block, name + 1, p + 2, VariableAccess::SET_NUMBER);
    q += changes ? 2 : 1;
  } else {
    return q;  // the line ended inside the name
  }
  return scan_token(text, classes, q, "]", value.data()) == ']' ? q + 1 : q;
}

// directive -> '{' alternative { [';'] alternative } '}'
// alternative -> [ '<' condition '>' ] [prefix] target
// Alternatives after the first one without a guard are never read.
void LineScanner::scan_directive(int line, int block, const char* text, const CharClass* classes) {
  allow_items(INT_MAX);  // a guard per alternative, each kept with its jump
  int p = 0;
  for (;;) {
    if (text[p] == '\0' || classes[p] != CharClass::SINGLE || !std::strchr("{<;", text[p])) break;
    if (text[p] == '{') ++p;
    if (single_is(text, classes, p, ';')) ++p;
    if (text[p] == '\0') break;
    const bool guarded = text[p] == '<' && classes[p] != CharClass::TRAIL;
    if (guarded) p = scan_condition(line, block, text, classes, p);
    const int begin = p;
    TextBuffer token;
    scan_token(text, classes, p, "}<;", token.data());
    ModelJump jump;
    jump.block = block;
    jump.line = line;
    jump.token = token.data();
    const int prefix = read_directive_prefix(token.data(), jump.kind);
    jump.target = token.data() + prefix;
    jump.guarded = guarded;
    jump.target_scene = resolve_scene_ref(token.data() + prefix, scenes_);
    jump.range = map_.range(line, begin, p);
    jump.target_range = map_.range(line, begin + prefix, p);
    model_.jumps.push_back(std::move(jump));
    if (!guarded) break;
  }
}

// text -> { condition | operation | '(' | ')' | '{' comment '}' | other }
void LineScanner::scan_text_line(int line, int block) {
  const BoundedLine bounded(store_.lines()[line]);
  const char* text = bounded.text.data();
  const CharClass* classes = bounded.classes.data();
  if (single_is(text, classes, 0, '{')) return scan_directive(line, block, text, classes);
  if (single_is(text, classes, 0, '-') || single_is(text, classes, 0, '#')) return;
  allow_items(kLineItemsKept);
  std::vector<int> open_groups;
  int comment_depth = 0;
  bool after_condition = false;  // the byte right after a condition is text or `[`
  for (int p = 0; text[p] != '\0';) {
    const bool special = classes[p] == CharClass::SINGLE && !after_condition;
    after_condition = false;
    if (special && (text[p] == '{' || text[p] == '}')) {
      comment_depth += text[p] == '{' ? 1 : -1;
    } else if (comment_depth != 0 || classes[p] != CharClass::SINGLE) {
    } else if (special && text[p] == '<') {
      p = scan_condition(line, block, text, classes, p);
      after_condition = true;
      continue;
    } else if (text[p] == '[') {
      p = scan_bracket_operation(line, block, text, classes, p);
      continue;
    } else if (text[p] == '(') {
      open_groups.push_back(p);
    } else if (text[p] == ')' && !open_groups.empty()) {
      if (groups_left_-- > 0) {
        model_.groups.push_back(ModelGroup{block, map_.position(line, open_groups.back()),
                                           map_.position(line, p), true});
      }
      open_groups.pop_back();
    }
    ++p;
  }
  for (const int open : open_groups) {
    if (groups_left_-- > 0)
      model_.groups.push_back(ModelGroup{block, map_.position(line, open), {}, false});
  }
}

// choice -> '<' condition '>' blanks destination | destination
void LineScanner::scan_choice(int line, int block, int target) {
  const char* raw = store_.lines()[line];
  allow_items(INT_MAX);  // one condition at most
  ModelChoice choice;
  choice.block = block;
  choice.line = line;
  choice.target = target;
  int destination = 0;
  if (raw[0] == '<') {
    const BoundedLine bounded(raw);
    const int p = scan_condition(line, block, bounded.text.data(), bounded.classes.data(), 0);
    const bool closed = model_.conditions.back().closed;
    choice.guarded = true;
    choice.condition.assign(raw + 1, static_cast<std::size_t>((closed ? p - 1 : p) - 1));
    choice.condition_range = map_.range(line, 1, closed ? p - 1 : p);
    destination = closed ? skip_blanks(bounded.text.data(), p, kTextMaxLength) : length_of(raw);
  }
  choice.destination = raw + destination;
  choice.range = map_.line_range(line);
  choice.destination_range = map_.range(line, destination, length_of(raw));
  model_.choices.push_back(std::move(choice));
}

}  // namespace plotwright
