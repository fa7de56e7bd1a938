// Edit distances between names, and the names nearest to a wanted one.
#include "authoring/nearest_names.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <numeric>
#include <set>
#include <tuple>

#include "encoding/utf8.h"

namespace plotwright {

namespace {

// The characters of UTF-8 text, ASCII letters in lower case; without blanks (space, tab, the
// ideographic space) when `drop_blanks`.
std::u32string folded_characters(std::string_view text, bool drop_blanks = false) {
  std::u32string out;
  for (std::size_t at = 0; at < text.size();) {
    char32_t c = static_cast<unsigned char>(text[at]);
    const std::size_t length = utf8::decode(text, at, c);
    at += length > 0 ? length : 1;
    if (drop_blanks && (c == ' ' || c == '\t' || c == U'\u3000')) continue;
    out.push_back(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  }
  return out;
}

// The edit distance with a swap of two neighbouring characters as one edit (`glod`, `gold`);
// `enough` or more once it is clear that it is at least `enough` (a row's least value never
// falls in the next rows but one).
int distance(const std::u32string& x, const std::u32string& y, int enough = INT_MAX) {
  std::vector<int> before(y.size() + 1);  // the row of two characters back
  std::vector<int> last(y.size() + 1);
  std::vector<int> row(y.size() + 1);
  std::iota(row.begin(), row.end(), 0);
  int previous_least = 0;
  for (std::size_t i = 1; i <= x.size(); ++i) {
    before.swap(last);
    last.swap(row);
    row[0] = static_cast<int>(i);
    int least = row[0];
    for (std::size_t j = 1; j <= y.size(); ++j) {
      row[j] =
          std::min({last[j] + 1, row[j - 1] + 1, last[j - 1] + (x[i - 1] == y[j - 1] ? 0 : 1)});
      if (i > 1 && j > 1 && x[i - 1] == y[j - 2] && x[i - 2] == y[j - 1]) {
        row[j] = std::min(row[j], before[j - 2] + 1);
      }
      least = std::min(least, row[j]);
    }
    if (least >= enough && previous_least >= enough) return enough;
    previous_least = least;
  }
  return row[y.size()];
}

}  // namespace

int edit_distance(std::string_view a, std::string_view b) {
  return distance(folded_characters(a), folded_characters(b));
}

std::vector<std::string> nearest_names(std::string_view wanted,
                                       const std::vector<std::string>& names, std::size_t limit) {
  // Distance; then a name that the wanted text begins (a name typed in part) first; then the
  // order of the names.
  std::vector<std::tuple<int, bool, std::size_t>> ranked;
  std::set<std::string_view> seen;
  const std::u32string folded = folded_characters(wanted);
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (!seen.insert(names[i]).second) continue;
    const std::u32string name = folded_characters(names[i]);
    ranked.emplace_back(distance(folded, name), !name.starts_with(folded), i);
  }
  const std::size_t shown = std::min(limit, ranked.size());
  std::partial_sort(ranked.begin(), ranked.begin() + static_cast<std::ptrdiff_t>(shown),
                    ranked.end());
  std::vector<std::string> out;
  for (std::size_t i = 0; i < shown; ++i) out.push_back(names[std::get<2>(ranked[i])]);
  return out;
}

NameSuggestions::NameSuggestions(std::vector<std::string> names) : names_(std::move(names)) {
  for (std::size_t i = 0; i < names_.size(); ++i) {
    folded_.push_back(folded_characters(names_[i]));
    loose_.emplace(folded_characters(names_[i], true), i);
  }
}

std::string NameSuggestions::suggestion(std::string_view wanted) const {
  const auto same = loose_.find(folded_characters(wanted, true));
  if (same != loose_.end() && names_[same->second] != wanted) return names_[same->second];
  const std::u32string folded = folded_characters(wanted);
  const int allowed = std::max<int>(1, static_cast<int>(folded.size()) / 3);
  std::size_t best = names_.size();
  int best_distance = allowed + 1;
  for (std::size_t i = 0; i < names_.size(); ++i) {
    const int apart = static_cast<int>(folded_[i].size()) - static_cast<int>(folded.size());
    if (std::abs(apart) >= best_distance || names_[i] == wanted) continue;  // too far by length
    const int d = distance(folded, folded_[i], best_distance);
    if (d < best_distance) {
      best = i;
      best_distance = d;
    }
  }
  return best < names_.size() ? names_[best] : std::string();
}

}  // namespace plotwright
