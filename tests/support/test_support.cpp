// Shared test helpers.
#include "support/test_support.h"

#include "compiler/scene_table.h"

namespace plotwright::testing {

std::string lf(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

namespace {

// A banner as the story shows it: a literal line, so each `~` is a space.
std::string shown(const char* banner) {
  std::string text(banner);
  for (char& c : text) c = c == '~' ? ' ' : c;
  return text;
}

}  // namespace

std::string body_of(std::string_view story) {
  std::string text = lf(story);
  std::string opening = shown(kOpeningBanner);
  opening.append("\n\n");
  std::string closing("\n");
  closing.append(shown(kClosingBanner)).append("\n");
  std::size_t start = text.find(opening);
  start = start == std::string::npos ? 0 : start + opening.size();
  std::size_t end = text.rfind(closing);
  if (end == std::string::npos || end < start) end = text.size();
  return text.substr(start, end - start);
}

}  // namespace plotwright::testing
