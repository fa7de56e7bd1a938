// Choosing among alternatives and expanding nested groups.
#include "generator/alternatives.h"

#include <cstring>

#include "base/limits.h"
#include "base/text.h"
#include "language/brackets.h"

namespace plotwright {

int count_separators(const char* text, const CharClass* classes) {
  // Most texts hold no `|` at all: find that out with one fast scan.
  const int window = bounded_length(text, kSeparatorWindow);
  if (!std::memchr(text, '|', static_cast<std::size_t>(window))) return 0;
  BracketCounts depths;
  int count = 0;
  for (int p = 0; p < kSeparatorWindow && text[p] != '\0'; ++p) {
    if (classes[p] != CharClass::SINGLE) continue;
    depths.update(text[p]);
    if (text[p] == '|' && depths.top_level()) ++count;
  }
  return count;
}

void expand_alternatives(const char* text, char* out, RandomSource& random) {
  ClassArray classes;
  classify_text(text, classes.data());
  expand_alternatives(text, classes.data(), out, random);
}

bool expand_alternatives(const char* text, const CharClass* classes, char* out,
                         RandomSource& random) {
  const int separators = count_separators(text, classes);
  if (separators == 0) {
    copy_text(out, text, kTextMaxLength);
    return true;
  }
  const int chosen = scale_draw(random.rand(), separators + 1);
  BracketCounts depths;
  int alternative = 0;
  int length = 0;
  for (int p = 0; p < kTextCapacity && text[p] != '\0'; ++p) {
    const bool single = classes[p] == CharClass::SINGLE;
    if (single) depths.update(text[p]);
    if (single && text[p] == '|' && depths.top_level()) {
      if (++alternative > chosen) break;
      continue;
    }
    if (alternative == chosen && length < kTextMaxLength) out[length++] = text[p];
  }
  out[length] = '\0';
  return false;
}

namespace {

// group-to-expand -> a `(` outside a bracketed stretch, before the first `/`.
bool has_group(const char* text, const CharClass* classes) {
  if (!std::memchr(text, '(', static_cast<std::size_t>(bounded_length(text)))) return false;
  bool bracketed = false;
  for (int p = 0; p < kTextCapacity && text[p] != '\0'; ++p) {
    if (classes[p] != CharClass::SINGLE) continue;
    const char byte = text[p];
    if (byte == '/') return false;
    if (byte == '[') bracketed = true;
    if (byte == ']') bracketed = false;
    if (byte == '(' && !bracketed) return true;
  }
  return false;
}

// Collects a group's content from `p` (just after its `(`) into `content`; returns the
// position after the closing `)`, or of the terminator when the group never closes.
int collect_group(const char* text, const CharClass* classes, int p, int& square, char* content) {
  int depth = 1;
  int length = 0;
  for (; p < kTextCapacity && text[p] != '\0'; ++p) {
    if (classes[p] == CharClass::SINGLE) {
      const char byte = text[p];
      if (byte == '[') ++square;
      if (byte == ']') --square;
      if (square == 0 && byte == '(') ++depth;
      if (square == 0 && byte == ')' && --depth == 0) {
        ++p;
        break;
      }
    }
    if (length < kTextMaxLength) content[length++] = text[p];
  }
  content[length] = '\0';
  return p;
}

// `classes` fit `copy`. A group's content starts at a character boundary (after a single-byte
// `(`), so its classes are those of the copy from there on.
void expand_once(const TextBuffer& copy, const ClassArray& classes, char* text,
                 RandomSource& random) {
  TextBuffer content;
  TextBuffer chosen;
  int square = 0;
  int length = 0;
  int p = 0;
  while (p < kTextCapacity && copy[p] != '\0') {
    const bool single = classes[p] == CharClass::SINGLE;
    if (single && copy[p] == '(' && square == 0) {
      const int start = p + 1;
      p = collect_group(copy.data(), classes.data(), start, square, content.data());
      expand_alternatives(content.data(), classes.data() + start, chosen.data(), random);
      for (int i = 0; chosen[i] != '\0' && length < kTextMaxLength; ++i) text[length++] = chosen[i];
      continue;
    }
    if (single && copy[p] == '[') ++square;
    if (single && copy[p] == ']') --square;
    if (length < kTextMaxLength) text[length++] = copy[p];
    ++p;
  }
  text[length] = '\0';
}

}  // namespace

void expand_groups(char* text, RandomSource& random) {
  ClassArray classes;
  classify_text(text, classes.data());
  expand_groups(text, classes, random);
}

void expand_groups(char* text, ClassArray& classes, RandomSource& random) {
  TextBuffer copy;
  for (int pass = 0; pass < kMaxGroupPasses; ++pass) {
    if (!has_group(text, classes.data())) return;
    copy_text(copy.data(), text, kTextMaxLength);
    expand_once(copy, classes, text, random);
    classify_text(text, classes.data());
  }
}

}  // namespace plotwright
