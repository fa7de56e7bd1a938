// The newcomer's traps: each check reads a line the way the engine runs it and warns where the
// story will silently differ from what the text plainly means.
#include "analysis/trap_checks.h"

#include <cctype>
#include <cstring>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "base/text.h"
#include "language/brackets.h"
#include "language/char_classes.h"
#include "language/condition_syntax.h"
#include "language/keywords.h"

namespace plotwright {

namespace {

// Shift-JIS forms of the full-width characters the checks look for.
constexpr char kWideSpace[] = "\x81\x40";
constexpr char kWideBraceOpen[] = "\x81\x6F";
constexpr char kWideBraceClose[] = "\x81\x70";
constexpr char kWideSquareOpen[] = "\x81\x6D";
constexpr char kWideSquareClose[] = "\x81\x6E";
constexpr char kWideAngleOpen[] = "\x81\x83";
constexpr char kWidePercent[] = "\x81\x93";
constexpr char kWideDollar[] = "\x81\x90";
// How far a full-width `［` looks for its `］`: a variable's name, not a paragraph.
constexpr int kWideNameWindow = 64;

bool wide_is(const char* text, const CharClass* classes, int p, const char* wide) {
  return classes[p] == CharClass::LEAD && text[p] == wide[0] && text[p + 1] == wide[1];
}

bool single_at(const char* text, const CharClass* classes, int p, char byte) {
  return classes[p] == CharClass::SINGLE && text[p] == byte;
}

// A full-width digit ０ to ９.
bool is_wide_digit(const char* text) {
  return static_cast<unsigned char>(text[0]) == 0x82 &&
         static_cast<unsigned char>(text[1]) >= 0x4F && static_cast<unsigned char>(text[1]) <= 0x58;
}

std::string quoted(const std::string& text) {
  return "\"" + text + "\"";
}

// The first 4095 bytes of a stored line, as the engine runs it, with their classes.
struct RunText {
  explicit RunText(const char* line) {
    copy_text(text.data(), line, kTextMaxLength);
    classify_text(text.data(), classes.data());
    length = static_cast<int>(std::strlen(text.data()));
  }
  TextBuffer text;
  ClassArray classes;
  int length = 0;
};

class TrapChecker {
 public:
  TrapChecker(const SourceStore& store, const CompiledScenario& scenario,
              const ScenarioModel& model, std::vector<Diagnostic>& found)
      : store_(store), map_(store), scenario_(scenario), model_(model), found_(found) {}

  void run(std::string_view engine_bytes);

 private:
  void warn(const char* code, std::string message, SourceRange range,
            std::optional<Fix> fix = std::nullopt) {
    Diagnostic diagnostic;
    diagnostic.severity = Severity::WARNING;
    diagnostic.code = code;
    diagnostic.message = std::move(message);
    diagnostic.range = range;
    diagnostic.fix = std::move(fix);
    found_.push_back(std::move(diagnostic));
  }
  void index_names();
  void check_text_line(int line);
  void check_directive_line(int line, const RunText& run);
  void check_wide_syntax(int line, const RunText& run);
  void check_indented_statement(int line, const RunText& run);
  void check_keyword_case(int line, const RunText& run);
  void check_inline_jump(int line, const RunText& run, int open);
  int check_condition(int line, const RunText& run, int p);
  int check_operation(int line, const RunText& run, int p, bool conditional);
  void check_template(const std::string& name, const char* value, int line, int begin, int end);
  void check_templates();
  void check_names();
  void check_last_block_choices();
  void check_loose_lines();
  void check_zero_bytes(std::string_view bytes);

  const SourceStore& store_;
  SourceMap map_;
  const CompiledScenario& scenario_;
  const ScenarioModel& model_;
  std::vector<Diagnostic>& found_;
  std::unordered_set<std::string> variable_names_;
  std::unordered_set<std::string> block_names_;
  std::unordered_set<std::string> missing_targets_;  // names a choice or jump finds no block by
  std::unordered_set<int> unresolved_jump_lines_;
  // By text variable: how many reads print it, whether `$name` tests it, and where a
  // `[name=(...)]` first stores a choice.
  struct TemplateUse {
    int prints = 0;
    bool counted = false;
    bool stored = false;
    SourceRange stored_at;
    std::string choices;  // the alternatives, for the fix
  };
  std::unordered_map<std::string, TemplateUse> templates_;
};

void TrapChecker::index_names() {
  for (const ModelVariableUse& use : model_.variables) {
    variable_names_.insert(use.name);
    TemplateUse& t = templates_[use.name];
    if (use.access == VariableAccess::READ_TEXT && !use.compared) ++t.prints;
    if (use.access == VariableAccess::READ_USES) t.counted = true;
  }
  for (const ModelBlock& block : model_.blocks) block_names_.insert(block.name);
  for (const ModelChoice& choice : model_.choices) {
    if (choice.target == 0) missing_targets_.insert(choice.destination);
  }
  for (const ModelJump& jump : model_.jumps) {
    if (jump.target_scene != 0) continue;
    missing_targets_.insert(jump.target);
    unresolved_jump_lines_.insert(jump.line);
  }
}

// condition -> '<' left op right '>': a single `=`, and a full-width number compared as one.
int TrapChecker::check_condition(int line, const RunText& run, int p) {
  const char* text = run.text.data();
  TextBuffer left;
  TextBuffer right;
  int end = p + 1;
  Op op = Op::NONE;
  const bool closed = parse_condition(text, run.classes.data(), left.data(), right.data(), end, op);
  int q = p + 1;
  while (q < end && !(run.classes[q] == CharClass::SINGLE && std::strchr("=!<>", text[q]))) ++q;
  if (closed && q < end && text[q] == '=' && text[q + 1] != '=') {
    warn("V218",
         "a single '=' in a condition takes the next character as part of the operator, so this "
         "does not compare with what follows; write '==' to test for equality",
         map_.range(line, q, q + 1));
  }
  const bool numeric = left[0] == '%' || left[0] == '$';
  const std::size_t left_length = std::strlen(left.data());
  if (closed && op != Op::NONE && left_length > 1 && is_ascii_blank(left[left_length - 1])) {
    warn("V230",
         "the blank before the operator is part of the variable's name, so this compares " +
             quoted(left.data()) + ", not the variable meant; write the condition without blanks",
         map_.range(line, p, end));
  }
  if (closed && op != Op::NONE && numeric && is_wide_digit(right.data())) {
    const int begin = end - 1 - static_cast<int>(std::strlen(right.data()));
    warn("V224",
         "a full-width number is no number to a condition: it counts as 0; write the digits in "
         "ASCII",
         map_.range(line, begin, end - 1));
  }
  return end;
}

// operation -> '[' name ('=' value | '++' | '--' | '+=' n | '-=' n)? ']'
int TrapChecker::check_operation(int line, const RunText& run, int p, bool conditional) {
  const char* text = run.text.data();
  TextBuffer name;
  TextBuffer value;
  int q = p + 1;
  const int stop = scan_token(text, run.classes.data(), q, "=+-]", name.data());
  const bool numeric = name[0] == '%';
  const std::string bare = name.data() + (numeric ? 1 : 0);
  if (stop != ']' && !bare.empty() && is_ascii_blank(bare.back())) {
    warn("V230",
         "the blank before '" + std::string(1, static_cast<char>(stop)) +
             "' is part of the variable's name: this uses " + quoted(bare) +
             ", not the variable meant; write it without blanks",
         map_.range(line, p, q));
  }
  if (stop == '+' || stop == '-') {
    const bool changes = text[q + 1] == '=' || text[q + 1] == stop;
    if (!numeric && changes) {
      const std::string op(text + q, 2);
      const std::string shown = bare + op + (op[1] == '=' ? "...]" : "]");
      warn("V219",
           bare.empty() ? "'" + op + "' needs a number variable's name: [" + shown +
                              " does nothing; write [%name" + shown
                        : "'" + op + "' works only on a number, so [" + shown +
                              " does nothing; write [%" + shown,
           map_.range(line, p, q + 2),
           bare.empty()
               ? std::nullopt
               : std::optional<Fix>(Fix{map_.range(line, p + 1, p + 1), "%", "Insert '%'"}));
    }
    return q + 1;
  }
  if (stop != '=') return stop == ']' ? q + 1 : q;
  const int value_begin = q + 1;
  int r = value_begin;
  const int closing = scan_token(text, run.classes.data(), r, "]", value.data());
  const SourceRange range = map_.range(line, p, closing == ']' ? r + 1 : r);
  const char* v = value.data();
  if (!bare.empty() && std::strchr("*/", bare.back())) {
    warn("V219",
         "the language has no '" + std::string(1, bare.back()) + "=': this sets a variable named " +
             quoted(bare) + "; use '+=' or '-=' on a number",
         range);
  } else if (v[0] == '%' || v[0] == '$') {
    warn("V219",
         "a variable cannot be copied: [" + std::string(name.data()) + "=" + v +
             "] assigns nothing; set the value itself",
         range);
  } else if (numeric) {
    const char* first = v + skip_blanks(v, 0, kTextMaxLength);
    if (*first != '\0' && !std::strchr("0123456789+-.(", *first)) {
      warn("V219",
           "a number must begin with a digit: [%" + bare + "=" + v + "] leaves " + quoted(bare) +
               " as it was; write [%" + bare + "+=1] to add to it",
           range);
    }
  } else if (std::strncmp(v, bare.c_str(), bare.size()) == 0 &&
             std::strchr("+-*/", v[bare.size() + skip_blanks(v + bare.size(), 0, 8)]) &&
             v[bare.size()] != '\0') {
    warn("V219",
         "this sets the text " + quoted(v) +
             ", not a sum: arithmetic works only on numbers; write [%" + bare + "+=1]",
         range);
  }
  if (v[0] == '(') {
    check_template(bare, v, line, p, closing == ']' ? r + 1 : r);
  } else if (conditional) {
    warn("V221",
         "this assignment takes effect whatever the condition before it says; to set it only when "
         "the condition holds, jump to a scene that sets it: {<condition>Scene}",
         range);
  }
  return closing == ']' ? r + 1 : r;
}

void TrapChecker::check_template(const std::string& name, const char* value, int line, int begin,
                                 int end) {
  TemplateUse& use = templates_[name];
  if (use.stored) return;
  use.stored = true;
  // The value without its outer parentheses, when they enclose it all.
  const std::size_t length = std::strlen(value);
  use.choices = length > 1 && value[length - 1] == ')' ? std::string(value + 1, length - 2) : "a|b";
  use.stored_at = map_.range(line, begin, end);
}

// A stored choice is drawn again at every print: a trap where a text is printed more than once
// as if it were one thing. A story that counts its prints with `$name` means the draws.
void TrapChecker::check_templates() {
  for (const auto& [name, use] : templates_) {
    if (!use.stored || use.prints < 2 || use.counted) continue;
    warn("V222",
         "[" + name + "=(...)] stores the choice, not one of its alternatives: each of the " +
             std::to_string(use.prints) + " prints of [" + name +
             "] draws again; to choose once, write [" + name + "=" + use.choices + "]",
         use.stored_at);
  }
}

// A jump line runs its first directive only; text after it is not printed unless the jump
// finds no scene (and then V203 says so).
void TrapChecker::check_directive_line(int line, const RunText& run) {
  const char* text = run.text.data();
  int p = 1;
  while (text[p] != '\0' && !single_at(text, run.classes.data(), p, '}')) ++p;
  if (text[p] == '\0' || unresolved_jump_lines_.count(line)) return;
  const int rest = skip_blanks(text, p + 1, run.length);
  if (rest >= run.length) return;
  warn("V220",
       "the text after a jump is not printed: only the line's first {...} is read; put the text "
       "on a line of its own",
       map_.range(line, rest, run.length));
}

// `｛Scene｝`, `［name］`, `＜％x...`: full-width look-alikes of the syntax print as they stand.
void TrapChecker::check_wide_syntax(int line, const RunText& run) {
  const char* text = run.text.data();
  const CharClass* classes = run.classes.data();
  const auto hint = [&](int p, const char* wide, const char* ascii) {
    warn("V224",
         std::string("'") + wide +
             "' is a full-width character, printed as it stands; the syntax "
             "needs the ASCII '" +
             ascii + "'",
         map_.range(line, p, p + 2));
  };
  if (wide_is(text, classes, 0, kWideBraceOpen) && std::strstr(text, kWideBraceClose)) {
    return hint(0, kWideBraceOpen, "{");
  }
  for (int p = 0; p < run.length; ++p) {
    if (classes[p] != CharClass::LEAD) continue;
    const bool percent = wide_is(text, classes, p + 2, kWidePercent) ||
                         wide_is(text, classes, p + 2, kWideDollar) ||
                         single_at(text, classes, p + 2, '%');
    if (wide_is(text, classes, p, kWideAngleOpen) && percent) return hint(p, kWideAngleOpen, "<");
    if (!wide_is(text, classes, p, kWideSquareOpen)) continue;
    if (percent) return hint(p, kWideSquareOpen, "[");
    const char* close = nullptr;
    for (int q = p + 2; q < run.length && q < p + kWideNameWindow;
         q += classes[q] == CharClass::LEAD ? 2 : 1) {
      if (wide_is(text, classes, q, kWideSquareClose)) {
        close = text + q;
        break;
      }
    }
    if (close && variable_names_.count(std::string(text + p + 2, close))) {
      return hint(p, kWideSquareOpen, "[");
    }
  }
}

// A line that begins with a blank is never a statement: `　scene Cat` meant as one.
void TrapChecker::check_indented_statement(int line, const RunText& run) {
  const char* text = run.text.data();
  const int start = skip_blanks(text, 0, run.length);
  if (start == 0 || start >= run.length) return;
  const KeywordRow* row = classify_line(text + start, kKeywordTable);
  if (!row) return;
  const int name = skip_blanks(text, start + row->length, run.length);
  const bool wide = std::strstr(std::string(text, start).c_str(), kWideSpace) != nullptr;
  const bool separated = name > start + row->length || name >= run.length;
  if (!(wide && separated) && !(separated && missing_targets_.count(text + name))) return;
  const SourceRange range = map_.range(line, 0, start + row->length);
  const std::string keyword = quoted(row->keyword);
  if (wide) {
    warn("V224",
         "a full-width space before " + keyword +
             " makes this line text, not a statement; a "
             "statement's keyword must be the line's first character",
         range);
  } else {
    warn("V227",
         "this line begins with a blank, so it is text, not a " + keyword +
             " statement; a statement's keyword must be the line's first character",
         range);
  }
}

// `Scene Harbour` meant as a statement: keywords are lower case. Only where the name is one a
// choice or jump finds no block by, since prose may well begin with "End of ..." or "Select".
void TrapChecker::check_keyword_case(int line, const RunText& run) {
  const char* text = run.text.data();
  for (int r = 0; r < kKeywordRowLimit && kKeywordTable[r].keyword; ++r) {
    const KeywordRow& row = kKeywordTable[r];
    const int length = static_cast<int>(std::strlen(row.keyword));
    if (length >= run.length || !is_ascii_blank(text[length])) continue;
    bool differs = false;
    int p = 0;
    for (; p < length; ++p) {
      const char c = text[p];
      if ((c | 0x20) != row.keyword[p] || !std::isalpha(static_cast<unsigned char>(c))) break;
      differs = differs || c != row.keyword[p];
    }
    if (p < length || !differs) continue;
    const int name = skip_blanks(text, length, run.length);
    if (name >= run.length || !missing_targets_.count(text + name)) continue;
    warn("V228",
         "this line begins with " + quoted(std::string(text, length)) +
             ", which is text: keywords are written in lower case; write " + quoted(row.keyword) +
             " to make it " + article_for(row.keyword) + " " + quoted(row.keyword) + " statement",
         map_.range(line, 0, length),
         Fix{map_.range(line, 0, length), row.keyword, "Write the keyword in lower case"});
    return;
  }
}

// `He looked out. {Watch}`: inside a line, braces make a comment; only a line that begins
// with '{' jumps. Reported when the braces hold exactly a block's name.
void TrapChecker::check_inline_jump(int line, const RunText& run, int open) {
  const char* text = run.text.data();
  const CharClass* classes = run.classes.data();
  int close = open + 1;
  while (close < run.length &&
         !(classes[close] == CharClass::SINGLE && (text[close] == '{' || text[close] == '}'))) {
    ++close;
  }
  if (close >= run.length || text[close] != '}') return;
  if (!block_names_.count(
          std::string(text + open + 1, static_cast<std::size_t>(close - open - 1)))) {
    return;
  }
  warn("V229",
       "braces inside a line make a comment, not a jump: only a line that begins with '{' "
       "jumps; put this jump on a line of its own",
       map_.range(line, open, close + 1));
}

// text -> { condition | operation | ';' | '{' comment '}' | '|' | other }, as the engine runs
// it: a `;` that is no switch, assignments under a condition, operations that do nothing.
void TrapChecker::check_text_line(int line) {
  const RunText run(store_.lines()[line]);
  const char* text = run.text.data();
  const CharClass* classes = run.classes.data();
  check_wide_syntax(line, run);
  if (single_at(text, classes, 0, '{')) return check_directive_line(line, run);
  if (single_at(text, classes, 0, '-')) return;
  if (single_at(text, classes, 0, '#')) {
    const int rest = skip_blanks(text, 1, run.length);
    if (rest < run.length) {
      warn("V220",
           "the text after '#' is not printed: '#' only starts a paragraph; put the text on the "
           "next line",
           map_.range(line, rest, run.length));
    }
    return;
  }
  check_indented_statement(line, run);
  check_keyword_case(line, run);
  // Where the line's alternatives begin: each is run as a line of its own.
  std::vector<bool> separator(static_cast<std::size_t>(run.length) + 1, false);
  BracketCounts counts;
  for (int p = 0; p < run.length && p < kSeparatorWindow; ++p) {
    if (classes[p] != CharClass::SINGLE) continue;
    if (text[p] == '|' && counts.top_level()) separator[p] = true;
    counts.update(text[p]);
  }
  bool condition_seen = false;  // the line has switched output by a condition
  bool conditional = false;     // and it is still switched by it
  bool semicolon_reported = false;
  int comments = 0;
  bool after_condition = false;
  for (int p = 0; p < run.length;) {
    const bool special = classes[p] == CharClass::SINGLE && !after_condition;
    after_condition = false;
    if (separator[p]) condition_seen = conditional = false;
    if (special && (text[p] == '{' || text[p] == '}')) {
      if (text[p] == '{' && comments == 0) check_inline_jump(line, run, p);
      comments += text[p] == '{' ? 1 : -1;
    } else if (special && text[p] == '<') {  // a condition switches even inside a comment
      p = check_condition(line, run, p);
      condition_seen = conditional = after_condition = true;
      continue;
    } else if (comments != 0 || classes[p] != CharClass::SINGLE) {
    } else if (special && text[p] == ';') {
      if (!condition_seen && !semicolon_reported) {
        semicolon_reported = true;
        warn("V217",
             "a ';' in story text is not printed and starts no comment: it switches output back "
             "on after a condition; to print it, put it in a variable ([semi=;]) or a line that "
             "begins with '-'",
             map_.range(line, p, p + 1));
      }
      conditional = false;
    } else if (text[p] == '[') {
      p = check_operation(line, run, p, conditional);
      continue;
    }
    ++p;
  }
}

// A name runs to the end of its line, blanks and all: `scene Harbour ` is not `Harbour`.
void TrapChecker::check_names() {
  for (const ModelBlock& block : model_.blocks) {
    const RunText name(block.name.c_str());
    int end = name.length;
    while (end > 0) {
      if (is_ascii_blank(name.text[end - 1])) {
        --end;
      } else if (end >= 2 && wide_is(name.text.data(), name.classes.data(), end - 2, kWideSpace)) {
        end -= 2;
      } else {
        break;
      }
    }
    if (end == name.length || end == 0) continue;
    const SourcePosition name_end = block.name_range.end;
    SourceRange blanks = block.name_range;
    blanks.end = name_end;
    // The blanks are the name's last characters: one column each (a full-width space too).
    int characters = 0;
    for (int p = end; p < name.length; p += name.classes[p] == CharClass::LEAD ? 2 : 1)
      ++characters;
    blanks.begin = SourcePosition{name_end.line, name_end.column - characters};
    warn("V225",
         "the name " + quoted(block.name) +
             " ends with a blank, which is part of it: a choice or jump must write the blank too; "
             "remove it",
         blanks);
  }
}

// The statistics file has no line for the last scene: its use count starts at 0 in every run,
// so as a choice it comes up far more often than its siblings.
void TrapChecker::check_last_block_choices() {
  const int last = model_.scene_count;
  if (last <= kSpecialScenes || model_.block_of_scene[last] < 0) return;
  const ModelBlock& block = model_.blocks[model_.block_of_scene[last]];
  const std::string why = "block " + quoted(block.name) +
                          " is the file's last block, whose use count the statistics file never "
                          "saves: over many runs it comes up far more often than the other "
                          "choices; end the file with a block that is never a choice";
  for (const ModelChoice& choice : model_.choices) {
    if (choice.target == last && model_.blocks[choice.block].body.size() > 1) {
      warn("V223", why, choice.destination_range);
    }
  }
  if (block.kind != BlockKind::TITLE) return;
  int titles = 0;
  for (const ModelBlock& b : model_.blocks) titles += b.kind == BlockKind::TITLE ? 1 : 0;
  if (titles > 1) warn("V223", why, block.name_range);
}

// Body lines before the first statement belong to no block: a heading there is never printed.
void TrapChecker::check_loose_lines() {
  const int first = model_.blocks.empty() ? store_.size() : model_.blocks[0].statement_line;
  for (int line = 0; line < first; ++line) {
    if (scenario_.rows[line]) return;  // an `end` line: what follows it is set aside on purpose
    const char* text = store_.lines()[line];
    const int length = static_cast<int>(std::strlen(text));
    if (skip_blanks(text, 0, length) >= length) continue;
    warn("V220",
         "this line stands before the first statement, so it belongs to no block and is never "
         "printed; move it under a scene, or make it a comment with ';'",
         map_.line_range(line));
    return;
  }
}

// A physical line ends at its first zero byte: the rest of it is lost, in the story too.
void TrapChecker::check_zero_bytes(std::string_view bytes) {
  int line = 1;
  std::size_t line_start = 0;
  std::size_t counted = 0;  // newlines are counted up to here
  for (std::size_t zero = bytes.find('\0'); zero != std::string_view::npos;
       zero = bytes.find('\0', zero + 1)) {
    for (std::size_t nl = bytes.find('\n', counted); nl != std::string_view::npos && nl < zero;
         nl = bytes.find('\n', nl + 1)) {
      ++line;
      line_start = nl + 1;
    }
    counted = zero;
    if (bytes[line_start] == ';') continue;  // a comment line is left out whole
    int column = 1;
    for (std::size_t p = line_start; p < zero; ++p, ++column) {
      const auto byte = static_cast<unsigned char>(bytes[p]);
      if (!(byte < 0x80 || (byte >= 0xA0 && byte < 0xE0))) ++p;
    }
    warn("V226",
         "a zero byte ends the line here: the rest of the line is lost, in the story too; remove "
         "it",
         SourceRange{{line, column}, {line, column + 1}});
    const std::size_t next = bytes.find('\n', zero);
    if (next == std::string_view::npos) return;
    zero = next;  // one report per line
  }
}

void TrapChecker::run(std::string_view engine_bytes) {
  index_names();
  for (const ModelBlock& block : model_.blocks) {
    if (block.kind == BlockKind::SELECT) {
      for (const int line : block.body) check_wide_syntax(line, RunText(store_.lines()[line]));
      continue;
    }
    for (const int line : block.body) check_text_line(line);
  }
  check_templates();
  check_names();
  if (!model_.reachable.empty()) check_last_block_choices();
  check_loose_lines();
  check_zero_bytes(engine_bytes);
}

}  // namespace

void check_traps(const SourceStore& store, const CompiledScenario& scenario,
                 const ScenarioModel& model, std::string_view engine_bytes,
                 std::vector<Diagnostic>& found) {
  TrapChecker(store, scenario, model, found).run(engine_bytes);
}

}  // namespace plotwright
