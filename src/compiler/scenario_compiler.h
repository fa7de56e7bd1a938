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
#include "output/output_buffers.h"

namespace plotwright {

struct CompiledScenario {
  std::vector<const KeywordRow*> rows;
  std::vector<SceneBlock> blocks;
  SceneTable scenes;
  ConditionTexts conditions;
  // Places with more than one candidate: more than one title, or a select block with more
  // than one choice line.
  std::int32_t choice_points = 0;
};

// Compiles the stored lines into `scenario` (rebuilt from scratch; it points into `store`).
// Destinations that name no scene are reported into the story buffer. Returns the number of
// errors reported: 0 when the scenario can generate stories.
int compile_scenario(const SourceStore& store, CompiledScenario& scenario, OutputBuffers& output,
                     DiagnosticSink& diagnostics);

}  // namespace plotwright
