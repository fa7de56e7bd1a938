// The compile driver: statements, blocks, built-in scenes, the title list, the named scenes.
#include "compiler/scenario_compiler.h"

namespace plotwright {

int compile_scenario(const SourceStore& store, CompiledScenario& scenario,
                     DiagnosticSink& diagnostics) {
  scenario.conditions.clear();
  scenario.errors.clear();
  scenario.scenes = SceneTable{};
  scenario.choice_points = 0;
  classify_statements(store.lines(), kKeywordTable, scenario.rows);
  scenario.scenes.seed_special_names();
  const int block_count =
      build_blocks(store.lines(), scenario.rows, scenario.scenes, scenario.blocks, diagnostics);
  scenario.scenes.build_name_index();
  scenario.scenes.records.reserve(block_count * 2 + 64);
  build_builtin_scenes(scenario.blocks, scenario.scenes, diagnostics);
  build_title_list(scenario.blocks, scenario.scenes, scenario.choice_points);
  build_scene_lists(scenario.blocks, block_count, store.lines(), scenario.scenes,
                    scenario.conditions, scenario.errors, scenario.choice_points);
  return static_cast<int>(scenario.errors.size());
}

}  // namespace plotwright
