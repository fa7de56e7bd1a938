// Reading physical lines into logical lines: comments, continuations and the line limit.
#include "compiler/source_reader.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "base/limits.h"
#include "language/char_classes.h"

namespace plotwright {

void SourceStore::clear() {
  arena_.clear();
  starts_.clear();
  first_segment_.clear();
  segments_.clear();
  lines_.assign(1, nullptr);
  physical_lines_ = 0;
}

void SourceStore::begin_line(std::string_view bytes, int physical_line) {
  if (!starts_.empty()) arena_.push_back('\0');
  starts_.push_back(arena_.size());
  first_segment_.push_back(static_cast<std::int32_t>(segments_.size()));
  continue_line(bytes, physical_line);
}

void SourceStore::continue_line(std::string_view bytes, int physical_line) {
  const auto offset = static_cast<std::int32_t>(arena_.size() - starts_.back());
  segments_.push_back(Segment{offset, physical_line});
  arena_.append(bytes);
}

void SourceStore::drop_last_line() {
  arena_.resize(starts_.back());
  starts_.pop_back();
  if (!starts_.empty()) arena_.pop_back();  // the terminator of the line before
  segments_.resize(static_cast<std::size_t>(first_segment_.back()));
  first_segment_.pop_back();
}

void SourceStore::finish(int physical_lines) {
  if (!starts_.empty()) arena_.push_back('\0');
  first_segment_.push_back(static_cast<std::int32_t>(segments_.size()));
  physical_lines_ = physical_lines;
  lines_.clear();
  lines_.reserve(starts_.size() + 1);
  for (const std::size_t start : starts_) lines_.push_back(arena_.data() + start);
  lines_.push_back(nullptr);
}

PhysicalPosition SourceStore::physical_position(int line, int offset) const {
  const auto first = segments_.begin() + first_segment_[line];
  const auto last = segments_.begin() + first_segment_[line + 1];
  // The last segment that starts at or before the offset.
  const auto segment = std::prev(std::upper_bound(
      first + 1, last, offset, [](int o, const Segment& s) { return o < s.offset; }));
  return PhysicalPosition{segment->physical_line, offset - segment->offset};
}

int SourceStore::first_physical_line(int line) const {
  return segments_[first_segment_[line]].physical_line;
}

int SourceStore::last_physical_line(int line) const {
  return segments_[first_segment_[line + 1] - 1].physical_line;
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
  bool continuing = false;  // the last physical line continues into the next
  bool whole = true;
  int number = 0;
  while (auto line = source.read_line()) {
    ++number;
    std::string_view physical = *line;
    if (!physical.empty() && physical[0] == ';') continue;
    const std::size_t zero = physical.find('\0');
    if (zero != std::string_view::npos) physical = physical.substr(0, zero);
    const bool continues_on = continues(physical);
    if (continues_on) physical.remove_suffix(1);  // the backslash
    if (continuing) {
      store.continue_line(physical, number);
    } else {
      store.begin_line(physical, number);
    }
    continuing = continues_on;
    if (!continuing && store.size() >= kMaxStoredLines) {
      whole = false;
      break;
    }
  }
  // A line continued into the end of the file is not stored.
  if (continuing) store.drop_last_line();
  store.finish(number);
  return whole;
}

}  // namespace plotwright
