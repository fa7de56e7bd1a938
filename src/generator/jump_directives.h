// The two checks a scenario line passes before it runs: balanced brackets, and the jump
// directive (`{target}`, with guards and prefixes that disable, enable or reprioritise).
#pragma once

#include <cstdint>

#include "compiler/scene_table.h"
#include "generator/variables.h"
#include "output/output_buffers.h"

namespace plotwright {

inline constexpr int DIRECTIVE_JUMP = 0;
inline constexpr int DIRECTIVE_DISABLE = 1;         // !
inline constexpr int DIRECTIVE_ENABLE = 2;          // #
inline constexpr int DIRECTIVE_PRIORITY_SET = 3;    // &
inline constexpr int DIRECTIVE_PRIORITY_UP = 4;     // &+
inline constexpr int DIRECTIVE_PRIORITY_DOWN = 5;   // &-
inline constexpr int DIRECTIVE_PRIORITY_CLEAR = 6;  // *

// directive -> '{' alternative { [';'] alternative } '}'
// alternative -> [ '<' condition '>' ] [prefix] target
// Returns the scene number (above 0), 0 for a line that is no directive (code 0) or whose
// scene was not found (the code is the prefix's; the not-found message goes into the pending
// line), or -1 for a malformed directive or one none of whose alternatives is taken.
int parse_jump_directive(const char* line, const std::int32_t* classes, int& code,
                         const SceneTable& scenes, const VariableStore& variables,
                         OutputBuffers& output);

// Counts (), [] and {} over the first 1024 bytes; when a pair does not balance, reports the
// line into the story and returns 1. Returns 0 when all balance.
int check_brackets(const char* line, const std::int32_t* classes, OutputBuffers& output);

}  // namespace plotwright
