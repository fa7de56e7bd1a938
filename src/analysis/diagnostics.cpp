// The checks behind `plotwright check`, the language server and the web page.
#include "analysis/diagnostics.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <set>
#include <string_view>

#include "analysis/trap_checks.h"
#include "base/limits.h"
#include "language/brackets.h"
#include "language/keywords.h"

namespace plotwright {

namespace {

class Checker {
 public:
  Checker(const SourceStore& store, const CompiledScenario& scenario, const ScenarioModel& model)
      : store_(store), map_(store), scenario_(scenario), model_(model) {}

  std::vector<Diagnostic> run(bool line_limit_reached, std::string_view engine_bytes);

 private:
  void add(Severity severity, const char* code, std::string message, SourceRange range,
           std::optional<Fix> fix = std::nullopt) {
    found_.push_back(Diagnostic{
        severity, code, std::move(message), range, std::move(fix), NameLookup::NONE, {}});
  }
  // The diagnostic just added is about `name`, which names none of `lookup`.
  void looked_up(NameLookup lookup, const std::string& name) {
    found_.back().lookup = lookup;
    found_.back().unknown_name = name;
  }
  void check_compile_errors();
  void check_block(int b);
  void check_names(int b);
  void check_statement_words();
  bool reads_as_prose(int line, const KeywordRow& row) const;
  std::string swallowed_lines(int line, const KeywordRow& row) const;
  bool closes_the_file(const ModelBlock& block) const;
  void check_lines(const ModelBlock& block);
  void check_brackets(int line, const char* text, int length);
  void check_jumps();
  void check_conditions();
  void check_variables();

  const SourceStore& store_;
  SourceMap map_;
  const CompiledScenario& scenario_;
  const ScenarioModel& model_;
  std::vector<Diagnostic> found_;
};

std::string quoted(const std::string& text) {
  return "\"" + text + "\"";
}

// A choice naming no scene: the compile's own message, at the destination. The choices are in
// the order of their lines, so each error finds its choice by a binary search.
void Checker::check_compile_errors() {
  for (const CompileError& error : scenario_.errors) {
    const auto choice =
        std::lower_bound(model_.choices.begin(), model_.choices.end(), error.line,
                         [](const ModelChoice& c, int line) { return c.line < line; });
    const bool found = choice != model_.choices.end() && choice->line == error.line;
    const SourceRange range = found ? choice->destination_range : map_.line_range(error.line);
    add(Severity::ERROR, error.destination[0] ? "V101" : "V102", describe_compile_error(error),
        range);
    if (found && error.destination[0]) looked_up(NameLookup::SCENES, choice->destination);
  }
}

void Checker::check_block(int b) {
  const ModelBlock& block = model_.blocks[b];
  if (block.name.empty()) {
    std::string message = quoted(block.keyword) + " statement without a name";
    if (block.scene != 0) message += ": every story starts at the first such block";
    add(Severity::ERROR, "V105", message, block.statement);
  }
  if (block.kind == BlockKind::SELECT && block.body.empty()) {
    add(Severity::ERROR, "V103",
        "select statement " + quoted(block.name) +
            " has no choices: a story that reaches it "
            "goes on at the closing scene",
        block.name_range);
  }
  if (block.kind == BlockKind::MESSAGE && !block.name.empty() &&
      std::find(model_.block_of_scene.begin(), model_.block_of_scene.end(), b) ==
          model_.block_of_scene.end()) {
    add(Severity::WARNING, "V216",
        quoted(block.name) + " is no built-in scene: this " + quoted(block.keyword) +
            " block is never used",
        block.name_range);
    looked_up(NameLookup::BUILTIN_BODIES, block.name);
  }
  if (block.scene > kLookupWindow) {
    char number[16];
    std::snprintf(number, sizeof number, "{%06d}", block.scene);
    add(Severity::WARNING, "V215",
        "block " + quoted(block.name) + " is scene " + std::to_string(block.scene) +
            ": names reach only the first 10000 scenes, so only " + number + " reaches it",
        block.name_range);
  } else if (block.scene != 0 && !block.name.empty()) {
    check_names(b);
  }
  if (block.scene != 0 && !model_.reachable.empty() && !model_.reachable[block.scene] &&
      !closes_the_file(block)) {
    add(Severity::WARNING, "V204",
        "block " + quoted(block.name) + " cannot be reached from the start of a story",
        block.name_range);
  }
  check_lines(block);
}

// A later block of the same name is never found by it; a built-in scene may hide a name too.
void Checker::check_names(int b) {
  const ModelBlock& block = model_.blocks[b];
  const int found = find_name(block.name.c_str(), scenario_.scenes);
  if (found == block.scene || found == 0) return;
  if (found <= kSpecialScenes) {
    add(Severity::WARNING, "V206",
        "the built-in scene " + quoted(block.name) + " is found before this block by its name",
        block.name_range);
    return;
  }
  const ModelBlock& first = model_.blocks[model_.block_of_scene[found]];
  add(Severity::WARNING, "V205",
      "block " + quoted(block.name) + " is defined twice: the name finds the first, at line " +
          std::to_string(first.first_line),
      block.name_range);
}

// The block the statistics advice puts last: the file's last scene, with no text, that nothing
// leads to. It is there so that no choice is the last scene, whose use count is never saved.
bool Checker::closes_the_file(const ModelBlock& block) const {
  if (block.scene != model_.scene_count || block.kind == BlockKind::SELECT) return false;
  return std::all_of(block.body.begin(), block.body.end(), [&](int line) {
    const char* text = store_.lines()[line];
    const int length = static_cast<int>(std::strlen(text));
    return skip_blanks(text, 0, length) >= length;
  });
}

// The block a statement line opens, or null for an `end` line.
const ModelBlock* block_at(const ScenarioModel& model, int statement_line) {
  const auto found =
      std::lower_bound(model.blocks.begin(), model.blocks.end(), statement_line,
                       [](const ModelBlock& b, int line) { return b.statement_line < line; });
  return found != model.blocks.end() && found->statement_line == statement_line ? &*found : nullptr;
}

bool ends_like_prose(const std::string& name) {
  static constexpr std::string_view kWideStops[] = {"\x81\x63", "\x81\x42", "\x81\x41"};
  if (!name.empty() && std::strchr(".,!?;:", name.back())) return true;
  return std::any_of(std::begin(kWideStops), std::end(kWideStops),
                     [&](std::string_view stop) { return name.ends_with(stop); });
}

// A keyword and a blank open a statement as surely as a glued keyword, but the line may be
// prose all the same: it goes on a line that joins it with `-`, or it is an `end` with words
// after it, or the block it opens is reached by nothing and its name reads as words of a
// sentence (a blank in it, and a small first letter or a closing stop).
bool Checker::reads_as_prose(int line, const KeywordRow& row) const {
  const char* text = store_.lines()[line];
  if (line > 0 && !scenario_.rows[line - 1]) {
    const std::string_view before = store_.lines()[line - 1];
    if (before.ends_with('-') && !before.starts_with('-')) return true;
  }
  const int length = static_cast<int>(std::strlen(text));
  const int name = skip_blanks(text, row.length, length);
  if (!row.named) return !row.opens_scene && name < length;  // `end` with words after it
  const ModelBlock* block = block_at(model_, line);
  if (!block || row.title || model_.reachable.empty() || model_.reachable[block->scene]) {
    return false;
  }
  const std::string& words = block->name;
  if (words.find(' ') == std::string::npos) return false;
  return std::islower(static_cast<unsigned char>(words[0])) || ends_like_prose(words);
}

// ": lines 17 to 24 are read as part of block ..." for the lines the statement takes from the
// text around it; "" when it takes none.
std::string Checker::swallowed_lines(int line, const KeywordRow& row) const {
  int last = line;
  if (const ModelBlock* block = row.named || row.opens_scene ? block_at(model_, line) : nullptr) {
    if (!block->body.empty()) last = block->body.back();
  } else {
    while (last + 1 < store_.size() && !scenario_.rows[last + 1]) ++last;
  }
  if (last == line) return "";
  const int first = store_.last_physical_line(line) + 1;
  const int end = store_.last_physical_line(last);
  const std::string lines =
      first == end ? "line " + std::to_string(first) + " is"
                   : "lines " + std::to_string(first) + " to " + std::to_string(end) + " are";
  if (!row.opens_scene && !row.opens_select) {
    return "; " + lines + (first == end ? " ignored: it belongs" : " ignored: they belong") +
           " to no block";
  }
  const ModelBlock* block = block_at(model_, line);
  return "; " + lines + " read as part of block " + quoted(block ? block->name : "");
}

// A keyword matches as the start of a longer word, or of a line of prose: the line is a
// statement, not text, and it takes the lines after it along.
void Checker::check_statement_words() {
  for (int line = 0; line < static_cast<int>(scenario_.rows.size()); ++line) {
    const KeywordRow* row = scenario_.rows[line];
    if (!row) continue;
    const char* text = store_.lines()[line];
    const unsigned char next = static_cast<unsigned char>(text[row->length]);
    const bool glued = !(next == '\0' || next == ' ' || next == '\t' || next == 0x81);
    if (!glued && !reads_as_prose(line, *row)) continue;
    const SourcePosition start = map_.position(line, 0);
    add(Severity::WARNING, "V201",
        "this line begins with " + quoted(row->keyword) + ", so it is read as " +
            article_for(row->keyword) + " " + quoted(row->keyword) + " statement, not as text" +
            swallowed_lines(line, *row),
        map_.range(line, 0, row->length),
        Fix{SourceRange{start, start}, "()", "Begin the line with () to keep it as text"});
  }
}

// The pairs the line check balances, and the Shift-JIS full-width look-alike of each bracket.
struct BracketPair {
  BracketCounts::Pair pair;
  char open;
  char close;
  const char* wide_open;
  const char* wide_close;
};
constexpr BracketPair kCheckedPairs[] = {
    {BracketCounts::PAREN, '(', ')', "\x81\x69", "\x81\x6A"},
    {BracketCounts::SQUARE, '[', ']', "\x81\x6D", "\x81\x6E"},
    {BracketCounts::BRACE, '{', '}', "\x81\x6F", "\x81\x70"},
};

// The bracket of `pair` that leaves a line unbalanced: the first that is never closed when the
// line opens more than it closes, else the first that closes nothing; -1 when the pair balances.
int unbalanced_bracket(const char* text, const ClassArray& classes, int end,
                       const BracketPair& pair) {
  std::vector<int> open;
  int stray = -1;
  int depth = 0;
  for (int p = 0; p < end; ++p) {
    if (classes[p] != CharClass::SINGLE) continue;
    if (text[p] == pair.open) {
      open.push_back(p);
      ++depth;
    } else if (text[p] == pair.close) {
      --depth;
      if (!open.empty()) {
        open.pop_back();
      } else if (stray < 0) {
        stray = p;
      }
    }
  }
  if (depth == 0) return -1;
  return depth > 0 ? open.front() : stray;
}

// The first full-width `wide` character of the line, as a byte offset; -1 for none.
int find_wide(const char* text, const ClassArray& classes, int end, const char* wide) {
  for (int p = 0; p < end; ++p) {
    if (classes[p] == CharClass::LEAD && text[p] == wide[0] && text[p + 1] == wide[1]) return p;
  }
  return -1;
}

// A line whose ( ), [ ] or { } do not balance does not run. The warning points at the bracket
// that does not match, and at a full-width bracket that the author likely meant as its partner.
void Checker::check_brackets(int line, const char* text, int length) {
  ClassArray classes;
  classify_text(text, classes.data(), std::min(length + 1, kTextCapacity));
  const int end = std::min({kSeparatorWindow, length, kTextCapacity});
  const BracketPair* culprit = nullptr;
  int at = -1;
  std::string pairs;
  for (const BracketPair& pair : kCheckedPairs) {
    const int p = unbalanced_bracket(text, classes, end, pair);
    if (p < 0) continue;
    pairs += std::string(" ") + pair.open + pair.close;
    if (!culprit || p < at) {
      culprit = &pair;
      at = p;
    }
  }
  if (!culprit) return;
  const bool opens = text[at] == culprit->open;
  std::string message = "unbalanced brackets:" + pairs + "; this " +
                        quoted(std::string(1, text[at])) +
                        (opens ? " is never closed" : " closes nothing");
  const char* wide = opens ? culprit->wide_close : culprit->wide_open;
  const int look_alike = find_wide(text, classes, end, wide);
  if (look_alike >= 0) {
    message += ", and the full-width " + quoted(wide) + " at column " +
               std::to_string(map_.position(line, look_alike).column) + " is no bracket: write " +
               quoted(std::string(1, opens ? culprit->close : culprit->open));
  }
  add(Severity::WARNING, "V210", message + "; the story shows \"illegal parenthesis\" instead",
      map_.range(line, at, at + 1));
}

void Checker::check_lines(const ModelBlock& block) {
  for (const int line : block.body) {
    const char* text = store_.lines()[line];
    const int length = static_cast<int>(std::strlen(text));
    if (block.kind == BlockKind::SELECT && length == 0) {
      add(Severity::WARNING, "V202",
          "a blank line in a select block is a choice, with no destination", map_.line_range(line));
    }
    if (length > kTextMaxLength && block.kind != BlockKind::SELECT) {
      add(Severity::WARNING, "V213",
          "this line is " + std::to_string(length) + " bytes long: only its first " +
              std::to_string(kTextMaxLength) + " run",
          map_.range(line, kTextMaxLength, length));
    }
    if (block.kind == BlockKind::SELECT) continue;
    check_brackets(line, text, length);
  }
}

// Whether a jump's target holds the syntax of a group or a variable, which a jump line does not
// expand.
bool looks_expanded(const std::string& target) {
  ClassArray classes;
  const int length = static_cast<int>(std::min<std::size_t>(target.size(), kTextMaxLength));
  classify_text(target.c_str(), classes.data(), length + 1);
  for (int p = 0; p < length; ++p) {
    if (classes[p] == CharClass::SINGLE && std::strchr("(|[", target[p])) return true;
  }
  return false;
}

void Checker::check_jumps() {
  for (const ModelJump& jump : model_.jumps) {
    if (jump.target_scene != 0) continue;
    add(Severity::WARNING, "V203",
        "scene " + quoted(jump.target) + " not found: the story shows 'scene " +
            quoted(jump.token) + " not found' here" +
            (looks_expanded(jump.target) ? "; a jump line is not expanded, so it names one scene:"
                                           " for a random jump, jump to a select block"
                                         : ""),
        jump.target_range);
    looked_up(NameLookup::SCENES, jump.target);
  }
}

std::set<std::string> names_set_as(const ScenarioModel& model, VariableAccess access) {
  std::set<std::string> names;
  for (const ModelVariableUse& use : model.variables) {
    if (use.access == access) names.insert(use.name);
  }
  return names;
}

void Checker::check_conditions() {
  const std::set<std::string> texts = names_set_as(model_, VariableAccess::SET_TEXT);
  for (const ModelCondition& condition : model_.conditions) {
    if (!condition.closed) {
      add(Severity::WARNING, "V210",
          "this condition never closes with '>': it runs to the end of the line", condition.range);
    } else if (condition.op == Op::NONE) {
      add(Severity::WARNING, "V211", "this condition has no operator: it never holds",
          condition.range);
    } else if (condition.left[0] != '%' && condition.left[0] != '$' && condition.right[0] != '%' &&
               condition.right[0] != '$' && !texts.count(condition.left)) {
      add(Severity::WARNING, "V211",
          "this condition compares two constants: " + quoted(condition.left) +
              " is read as the name of a text variable that is never set",
          condition.range);
    }
  }
}

bool is_set(VariableAccess access) {
  return access == VariableAccess::SET_TEXT || access == VariableAccess::SET_NUMBER;
}

bool is_text(VariableAccess access) {
  return access == VariableAccess::SET_TEXT || access == VariableAccess::READ_TEXT ||
         access == VariableAccess::READ_USES;
}

// The first uses of one variable that the checks need.
struct FirstUses {
  const ModelVariableUse* set = nullptr;
  const ModelVariableUse* read = nullptr;
  bool compared = false;  // read by a comparison with a constant
  const ModelVariableUse* text = nullptr;
  const ModelVariableUse* number = nullptr;
};

void Checker::check_variables() {
  std::map<std::string, FirstUses> uses;
  std::vector<std::string> defined;  // in the order they are first set
  for (const ModelVariableUse& use : model_.variables) {
    FirstUses& first = uses[use.name];
    // A text compared with a constant is reported with its condition.
    const ModelVariableUse** slot = is_set(use.access) ? &first.set : &first.read;
    if (!*slot && !use.compared) *slot = &use;
    if (!is_set(use.access) && use.compared) first.compared = true;
    if (is_set(use.access) && *slot == &use) defined.push_back(use.name);
    const ModelVariableUse** kind = is_text(use.access) ? &first.text : &first.number;
    if (!*kind) *kind = &use;
  }
  // The chapter number's own lines set and print "No" unless a block replaces them.
  const bool chapter_numbers = model_.block_of_scene.size() > kSceneChapterNumber &&
                               model_.block_of_scene[kSceneChapterNumber] < 0;
  for (const auto& [name, first] : uses) {
    const bool builtin = chapter_numbers && name == "No";
    if (first.read && !first.set && !builtin) {
      add(Severity::WARNING, "V207",
          "variable " + quoted(name) + " is read but never set" +
              (first.read->access == VariableAccess::READ_TEXT ? ": it prints its own name" : ""),
          first.read->range);
      looked_up(NameLookup::VARIABLES, name);
    }
    // A comparison reads the variable: `[ready=yes]` then `<ready==yes>` is sound.
    if (first.set && !first.read && !first.compared && !builtin) {
      add(Severity::WARNING, "V208", "variable " + quoted(name) + " is set but never read",
          first.set->range);
    }
    if (first.text && first.number) {
      const ModelVariableUse* later =
          first.number->range.begin < first.text->range.begin ? first.text : first.number;
      add(Severity::WARNING, "V209",
          "variable " + quoted(name) + " is used both as text and as a number", later->range);
    }
  }
  if (defined.size() > static_cast<std::size_t>(kMaxVariables)) {
    const std::string& name = defined[kMaxVariables];
    add(Severity::WARNING, "V212",
        "more than 80 variables: a story that sets " + quoted(name) +
            " and 80 others shows 'could not be defined'",
        uses[name].set->range);
  }
}

std::vector<Diagnostic> Checker::run(bool line_limit_reached, std::string_view engine_bytes) {
  if (line_limit_reached) {
    const int last = store_.size() - 1;
    add(Severity::ERROR, "V104", "Source code exceed over max 200000 lines",
        last >= 0 ? map_.line_range(last) : SourceRange{{1, 1}, {1, 1}});
  }
  check_compile_errors();
  check_statement_words();
  for (int b = 0; b < static_cast<int>(model_.blocks.size()); ++b) check_block(b);
  check_jumps();
  check_conditions();
  check_variables();
  check_traps(store_, scenario_, model_, engine_bytes, found_);
  std::stable_sort(found_.begin(), found_.end(), [](const Diagnostic& a, const Diagnostic& b) {
    if (a.range.begin.line != b.range.begin.line) return a.range.begin < b.range.begin;
    if (a.range.begin.column != b.range.begin.column) return a.range.begin < b.range.begin;
    return a.code < b.code;
  });
  return std::move(found_);
}

}  // namespace

std::vector<Diagnostic> check_scenario(const SourceStore& store, const CompiledScenario& scenario,
                                       const ScenarioModel& model, bool line_limit_reached,
                                       std::string_view engine_bytes) {
  return Checker(store, scenario, model).run(line_limit_reached, engine_bytes);
}

const char* severity_name(Severity severity) {
  switch (severity) {
    case Severity::ERROR:
      return "error";
    case Severity::WARNING:
      return "warning";
    case Severity::NOTE:
      return "note";
  }
  return "error";
}

}  // namespace plotwright
