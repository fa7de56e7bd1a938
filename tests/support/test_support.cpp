// Shared test helpers.
#include "support/test_support.h"

namespace plotwright::testing {

std::string lf(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' || i + 1 == text.size() || text[i + 1] != '\n') out += text[i];
  }
  return out;
}

std::string body_of(std::string_view story) {
  const std::string text = lf(story);
  std::size_t start = text.find(kOpening);
  start = start == std::string::npos ? 0 : start + std::string_view(kOpening).size();
  std::size_t end = text.rfind(kClosing);
  if (end == std::string::npos || end < start) end = text.size();
  return text.substr(start, end - start);
}

}  // namespace plotwright::testing
