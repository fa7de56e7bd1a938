// Random variety inside sentences: a line's top-level `|` alternatives, and groups in
// parentheses, `(a|b|c)`, nested up to ten levels, of which one alternative is chosen.
#pragma once

#include <cstdint>

#include "base/random_source.h"
#include "language/char_classes.h"

namespace plotwright {

// Top-level `|` separators (outside (), [], <>, {}) within the first 1024 bytes.
int count_separators(const char* text, const CharClass* classes);

// Writes into `out` (kTextCapacity + 1 bytes) one top-level alternative of `text`, chosen by
// one draw, or a copy of the whole text (and no draw) when it has no separator.
void expand_alternatives(const char* text, char* out, RandomSource& random);
// The same with `classes` already filled for `text`; returns true when the whole text was
// copied (so `classes` also fits `out`).
bool expand_alternatives(const char* text, const CharClass* classes, char* out,
                         RandomSource& random);

// Rewrites `text` (kTextCapacity + 1 bytes) in place, replacing each group by one of its
// alternatives, one nesting level per pass, at most ten passes. Groups inside square brackets
// are kept (they belong to a value chosen at every print); a `/` ends the search for groups
// but not their expansion.
void expand_groups(char* text, RandomSource& random);
// The same with `classes` filled for `text` on entry; on return they fit the rewritten text.
void expand_groups(char* text, ClassArray& classes, RandomSource& random);

}  // namespace plotwright
