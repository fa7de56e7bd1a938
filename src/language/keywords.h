// The statement keyword table: which lines open a block, of which kind. A keyword matches as
// a prefix of the line, so "endless" is an `end` line and "settled" opens a `set` block.
#pragma once

#include <cstdint>

namespace plotwright {

struct KeywordRow {
  const char* keyword = nullptr;  // lower case; null ends the table
  std::int32_t length = 0;        // where the search for the block name begins
  bool opens_scene = false;       // opens a scene block: its body is story text
  bool opens_select = false;      // opens a select block: its body lines are choices
  bool title = false;             // the block's scene is also a choice of the title list
  bool named = false;             // the name enters the scene-name table; the block gets a scene
};

// "a" or "an", as English writes it before `word` (a keyword: "an \"end\" statement").
inline const char* article_for(const char* word) {
  const char c = word ? word[0] : '\0';
  return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u' ? "an" : "a";
}

// The twelve keywords in table order, ended by a row without a keyword. The order decides
// ties: a line's row is the last row that matches ("system_mes" after "system").
extern const KeywordRow kKeywordTable[];

// The row of `line` in `table`: the last whose keyword is a prefix of the line (compared over
// at most 100 bytes), or null for a line that is no statement.
const KeywordRow* classify_line(const char* line, const KeywordRow* table);

}  // namespace plotwright
