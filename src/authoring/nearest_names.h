// The names nearest to one that names nothing: for --start, and for the "did you mean" of the
// checks whose name finds no block, built-in scene or variable.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace plotwright {

// The edit distance (insertions, deletions, substitutions of characters, and swaps of two
// neighbouring ones) between two UTF-8 texts, ASCII letters compared without case.
int edit_distance(std::string_view a, std::string_view b);

// Up to `limit` of `names` nearest to `wanted`, the nearest first; of equally near names, those
// that begin with `wanted` first, then in their order in `names`; each name once.
std::vector<std::string> nearest_names(std::string_view wanted,
                                       const std::vector<std::string>& names, std::size_t limit);

// Names to suggest from, for the one name that a wanted name most likely meant: first a name
// that differs only in the case of ASCII letters and in blanks (`arrival ` for `Arrival`), else
// the nearest name within a third of the wanted name's characters (at least one edit), the
// earlier of equally near names; never the wanted name itself. Each name is folded once, so
// that many suggestions from one list stay cheap.
class NameSuggestions {
 public:
  explicit NameSuggestions(std::vector<std::string> names);
  // The name `wanted` (UTF-8) most likely meant, or "" for none.
  std::string suggestion(std::string_view wanted) const;

 private:
  std::vector<std::string> names_;
  std::vector<std::u32string> folded_;
  std::unordered_map<std::u32string, std::size_t> loose_;  // the first name of each loose form
};

}  // namespace plotwright
