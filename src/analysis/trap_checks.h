// Warnings for the traps a newcomer to the language falls into without a word from the engine:
// text that the story drops or changes, operations that do nothing, full-width look-alikes of
// the syntax, names with a trailing blank, zero bytes, and the last block used as a choice.
#pragma once

#include <string_view>
#include <vector>

#include "analysis/diagnostics.h"
#include "analysis/scenario_model.h"

namespace plotwright {

// Appends the warnings to `found` (unsorted). `engine_bytes` is the file as loaded, for what
// the store no longer holds (the bytes after a zero byte); empty when unknown.
void check_traps(const SourceStore& store, const CompiledScenario& scenario,
                 const ScenarioModel& model, std::string_view engine_bytes,
                 std::vector<Diagnostic>& found);

}  // namespace plotwright
