// Building the author's view of a compiled scenario.
#include "analysis/scenario_model.h"

#include <algorithm>
#include <cstring>
#include <deque>

#include "analysis/line_scanner.h"
#include "base/limits.h"

namespace plotwright {

namespace {

BlockKind kind_of(const KeywordRow& row) {
  if (row.opens_select) return BlockKind::SELECT;
  if (!row.named) return BlockKind::MESSAGE;
  return row.title ? BlockKind::TITLE : BlockKind::SCENE;
}

// The blocks in source order, with their statements, names, bodies and scene numbers.
void add_blocks(const SourceStore& store, const CompiledScenario& scenario, ScenarioModel& model) {
  SourceMap map(store);
  const std::vector<const char*>& lines = store.lines();
  int scene = kSpecialScenes;
  for (const SceneBlock& block : scenario.blocks) {
    ModelBlock out;
    out.kind = kind_of(*block.row);
    out.keyword = block.row->keyword;
    out.name = block.name;
    out.scene = block.row->named ? ++scene : 0;
    out.statement_line = static_cast<int>(block.body.items - lines.data()) - 1;
    const char* statement = lines[out.statement_line];
    const int name_begin = static_cast<int>(block.name - statement);
    out.statement = map.line_range(out.statement_line);
    out.name_range = map.range(out.statement_line, name_begin,
                               name_begin + static_cast<int>(std::strlen(block.name)));
    for (int i = 0; i < block.body.count; ++i) out.body.push_back(out.statement_line + 1 + i);
    out.first_line = store.first_physical_line(out.statement_line);
    out.last_line =
        store.last_physical_line(out.body.empty() ? out.statement_line : out.body.back());
    model.blocks.push_back(std::move(out));
  }
}

// Which block gives each built-in scene with a body its lines: the first block named by the
// scene's own name, else by its alias, as the compile looks them up.
void assign_builtin_bodies(ScenarioModel& model) {
  const int last = std::min(kSceneClosing, model.scene_count);  // the scenes the table holds
  for (int scene = kSceneStartMessage; scene <= last; ++scene) {
    const BuiltinScene& builtin = kBuiltinScenes[scene - 1];
    for (const char* name : {builtin.name, builtin.alias}) {
      int found = -1;
      for (int b = 0; b < static_cast<int>(model.blocks.size()) && b < kLookupWindow; ++b) {
        if (model.blocks[b].name == name) {
          found = b;
          break;
        }
      }
      if (found >= 0) {
        model.block_of_scene[scene] = found;
        break;
      }
    }
  }
}

// Choices, jumps, conditions, variables and groups, block by block.
void scan_bodies(const SourceStore& store, const CompiledScenario& scenario, ScenarioModel& model) {
  LineScanner scanner(store, scenario.scenes, model);
  for (int b = 0; b < static_cast<int>(model.blocks.size()); ++b) {
    const ModelBlock& block = model.blocks[b];
    if (block.kind != BlockKind::SELECT) {
      for (const int line : block.body) scanner.scan_text_line(line, b);
      continue;
    }
    const Record* records = scenario.scenes.list(block.scene);
    for (std::size_t i = 0; i < block.body.size(); ++i) {
      scanner.scan_choice(block.body[i], b, records ? records[i].target : 0);
    }
  }
}

void add_edges(const CompiledScenario& scenario, ScenarioModel& model) {
  for (int scene = 1; scene <= kSceneTitleList && scene <= model.scene_count; ++scene) {
    const Record* list = scenario.scenes.list(scene);
    const EdgeKind kind = scene == kSceneTitleList ? EdgeKind::TITLE : EdgeKind::FOLLOWS;
    for (const Record* r = list; r && !r->is_end(); ++r) {
      if (r->target > 0) model.edges.push_back(ModelEdge{scene, r->target, kind, -1});
      if (scene != kSceneTitleList) break;
    }
  }
  for (int i = 0; i < static_cast<int>(model.choices.size()); ++i) {
    const ModelChoice& choice = model.choices[i];
    if (choice.target == 0) continue;
    model.edges.push_back(
        ModelEdge{model.blocks[choice.block].scene, choice.target, EdgeKind::CHOICE, i});
  }
  for (int i = 0; i < static_cast<int>(model.jumps.size()); ++i) {
    const ModelJump& jump = model.jumps[i];
    const int from = scene_of_block(model, jump.block);
    if (jump.kind != Directive::JUMP || jump.target_scene <= 0 || from == 0) continue;
    if (jump.target_scene > model.scene_count) continue;
    model.edges.push_back(ModelEdge{from, jump.target_scene, EdgeKind::JUMP, i});
  }
}

// Every scene a story can reach from its start; a story that reaches anything also reaches
// the closing scene and the end.
void mark_reachable(ScenarioModel& model) {
  model.reachable.assign(static_cast<std::size_t>(model.scene_count) + 1, false);
  std::vector<std::vector<int>> next(static_cast<std::size_t>(model.scene_count) + 1);
  for (const ModelEdge& edge : model.edges) next[edge.from].push_back(edge.to);
  std::deque<int> waiting{model.start_scene};
  for (const int always : {model.start_scene, kSceneClosing, kSceneEnd}) {
    if (always <= model.scene_count) model.reachable[always] = true;
  }
  waiting.push_back(kSceneClosing);
  while (!waiting.empty()) {
    const int scene = waiting.front();
    waiting.pop_front();
    for (const int to : next[scene]) {
      if (model.reachable[to]) continue;
      model.reachable[to] = true;
      waiting.push_back(to);
    }
  }
}

}  // namespace

ScenarioModel build_model(const SourceStore& store, const CompiledScenario& scenario) {
  ScenarioModel model;
  model.scene_count = scenario.scenes.scene_count();
  model.block_of_scene.assign(static_cast<std::size_t>(model.scene_count) + 1, -1);
  add_blocks(store, scenario, model);
  for (int b = 0; b < static_cast<int>(model.blocks.size()); ++b) {
    if (model.blocks[b].scene != 0) model.block_of_scene[model.blocks[b].scene] = b;
  }
  assign_builtin_bodies(model);
  scan_bodies(store, scenario, model);
  const int start = find_name("", scenario.scenes);
  model.start_scene = start != 0 ? start : kSceneFirst;
  add_edges(scenario, model);
  if (model.scene_count >= kSceneEnd) mark_reachable(model);
  return model;
}

int scene_of_block(const ScenarioModel& model, int block) {
  if (model.blocks[block].scene != 0) return model.blocks[block].scene;
  for (int scene = kSceneStartMessage; scene <= kSceneClosing && scene <= model.scene_count;
       ++scene) {
    if (model.block_of_scene[scene] == block) return scene;
  }
  return 0;
}

std::string scene_display_name(const ScenarioModel& model, int scene) {
  if (scene >= 1 && scene <= model.scene_count && scene > kSpecialScenes) {
    return model.blocks[model.block_of_scene[scene]].name;
  }
  if (scene >= 1 && scene <= kSpecialScenes) return kBuiltinScenes[scene - 1].alias;
  return std::to_string(scene);
}

}  // namespace plotwright
