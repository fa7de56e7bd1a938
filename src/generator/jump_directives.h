// The two checks a scenario line passes before it runs: balanced brackets, and the jump
// directive (`{target}`, with guards and prefixes that disable, enable or reprioritise).
#pragma once

#include "compiler/scene_table.h"
#include "generator/run_observer.h"
#include "generator/variables.h"
#include "language/char_classes.h"
#include "language/directive_syntax.h"
#include "output/output_buffers.h"

namespace plotwright {

// directive -> '{' alternative { [';'] alternative } '}'
// alternative -> [ '<' condition '>' ] [prefix] target
// Returns the scene number (above 0), 0 for a line that is no directive (code JUMP) or whose
// scene was not found (the code is the prefix's; the not-found message goes into the pending
// line), or -1 for a malformed directive or one none of whose alternatives is taken. With
// `report` (cleared first), also tells each alternative tried and what its condition read.
int parse_jump_directive(const char* line, const CharClass* classes, Directive& code,
                         const SceneTable& scenes, VariableStore& variables, OutputBuffers& output,
                         JumpReport* report = nullptr);

// Counts (), [] and {} over the first 1024 bytes. When a pair does not balance, reports the
// line into the story and returns false.
bool check_brackets(const char* line, const CharClass* classes, OutputBuffers& output);

}  // namespace plotwright
