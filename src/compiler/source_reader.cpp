// Reading physical lines into logical lines: comments, continuations and the line limit.
#include "compiler/source_reader.h"

#include <cstring>

#include "base/limits.h"
#include "language/char_classes.h"

namespace plotwright {

void SourceStore::clear() {
  arena_.clear();
  offsets_.clear();
  lines_.assign(1, nullptr);
}

void SourceStore::append(const std::string& line) {
  offsets_.push_back(arena_.size());
  arena_.append(line);
  arena_.push_back('\0');
}

void SourceStore::finish() {
  lines_.clear();
  lines_.reserve(offsets_.size() + 1);
  for (std::size_t offset : offsets_) lines_.push_back(arena_.data() + offset);
  lines_.push_back(nullptr);
}

namespace {

// A physical line continues when its last byte is a single-byte backslash. Only the first
// kContinuationWindow bytes are classified for this test, so a longer line never continues.
bool continues(std::string_view physical) {
  const int e = static_cast<int>(physical.size());
  if (e == 0 || e > kContinuationWindow || physical[e - 1] != '\\') return false;
  char text[kContinuationWindow + 2];
  std::memcpy(text, physical.data(), e);
  text[e] = '\0';
  ClassArray classes;
  classify_text(text, classes.data(), kContinuationWindow);
  return classes[e - 1] == CharClass::SINGLE;
}

}  // namespace

bool read_source_lines(LineSource& source, SourceStore& store) {
  store.clear();
  std::string logical;
  bool whole = true;
  while (auto line = source.read_line()) {
    std::string_view physical = *line;
    if (!physical.empty() && physical[0] == ';') continue;
    const std::size_t zero = physical.find('\0');
    if (zero != std::string_view::npos) physical = physical.substr(0, zero);
    logical.append(physical);
    if (continues(physical)) {
      logical.pop_back();  // the backslash
      continue;
    }
    store.append(logical);
    logical.clear();
    if (store.size() >= kMaxStoredLines) {
      whole = false;
      break;
    }
  }
  store.finish();
  return whole;
}

}  // namespace plotwright
