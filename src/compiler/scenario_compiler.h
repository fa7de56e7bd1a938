// The compile driver and the compiled scenario it builds from the source line store: the
// per-line statement rows, the blocks, the scene-name table and the scene table.
#pragma once

#include <cstdint>
#include <vector>

#include "base/diagnostics.h"
#include "compiler/scene_table.h"
#include "compiler/select_blocks.h"
#include "compiler/source_reader.h"
#include "compiler/statements.h"

namespace plotwright {

struct CompiledScenario {
  std::vector<const KeywordRow*> rows;
  std::vector<SceneBlock> blocks;
  SceneTable scenes;
  ConditionTexts conditions;
  // Places with more than one candidate: more than one title, or a select block with more
  // than one choice line.
  std::int32_t choice_points = 0;
  // The destinations that name no scene, in source order.
  std::vector<CompileError> errors;
};

// Compiles the stored lines into `scenario` (rebuilt from scratch; it points into `store`).
// Returns the number of errors, which `scenario.errors` lists: 0 when the scenario can
// generate stories.
int compile_scenario(const SourceStore& store, CompiledScenario& scenario,
                     DiagnosticSink& diagnostics);

}  // namespace plotwright
