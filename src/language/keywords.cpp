// The keyword table and the matching of a line against it.
#include "language/keywords.h"

#include "base/limits.h"

namespace plotwright {

const KeywordRow kKeywordTable[] = {
    {.keyword = "end", .length = 3},
    {.keyword = "lumen", .length = 5, .opens_scene = true, .named = true},
    {.keyword = "scene", .length = 5, .opens_scene = true, .named = true},
    {.keyword = "set", .length = 3, .opens_scene = true, .named = true},
    {.keyword = "test", .length = 4, .opens_scene = true, .named = true},
    {.keyword = "action", .length = 6, .opens_scene = true, .named = true},
    {.keyword = "title", .length = 5, .opens_scene = true, .title = true, .named = true},
    {.keyword = "system", .length = 6, .opens_scene = true, .named = true},
    {.keyword = "koru", .length = 4, .opens_scene = true},
    {.keyword = "system_mes", .length = 10, .opens_scene = true},
    {.keyword = "bunki", .length = 5, .opens_select = true, .named = true},
    {.keyword = "select", .length = 6, .opens_select = true, .named = true},
    {},
};

namespace {

// keyword is a prefix of the line, compared over at most 100 bytes.
bool keyword_matches(const char* keyword, const char* line) {
  for (int i = 0; i < kKeywordCompareLimit; ++i) {
    if (keyword[i] == '\0') return true;
    if (line[i] != keyword[i]) return false;  // also stops at the line's end
  }
  return false;
}

}  // namespace

const KeywordRow* classify_line(const char* line, const KeywordRow* table) {
  const KeywordRow* found = nullptr;
  for (int r = 0; r < kKeywordRowLimit && table[r].keyword; ++r) {
    if (keyword_matches(table[r].keyword, line)) found = &table[r];
  }
  return found;
}

}  // namespace plotwright
