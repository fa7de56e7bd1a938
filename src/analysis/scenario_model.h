// The scenario as an author sees it: where each block, choice, jump, condition, variable and
// group stands in the file, and which scene leads to which. Built from the source store and
// the compiled tables; generation neither uses nor changes it. Names and texts are the
// engine's bytes (Shift-JIS); front ends convert them.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "analysis/source_map.h"
#include "compiler/scenario_compiler.h"
#include "compiler/source_reader.h"
#include "language/condition_syntax.h"
#include "language/directive_syntax.h"

namespace plotwright {

enum class BlockKind {
  TITLE,    // a scene that is also one of the story's openings
  SCENE,    // scene, lumen, set, test, action, system
  SELECT,   // select, bunki: each body line a choice
  MESSAGE,  // koru, system_mes: a body for a built-in scene
};

struct ModelBlock {
  BlockKind kind = BlockKind::SCENE;
  std::string keyword;  // as the table spells it: "scene", "select", ...
  std::string name;
  int scene = 0;           // its scene number; 0 for a message block
  int statement_line = 0;  // the statement's logical line in the store
  SourceRange statement;   // the whole statement line
  SourceRange name_range;
  int first_line = 0;  // physical lines, from the statement to the last body line
  int last_line = 0;
  std::vector<int> body;  // the body's logical lines
};

struct ModelChoice {
  int block = 0;  // index into ScenarioModel::blocks
  int line = 0;   // logical line
  std::string destination;
  std::string condition;  // between `<` and `>`, empty without one
  bool guarded = false;
  int target = 0;  // the scene it leads to, 0 for none
  SourceRange range;
  SourceRange destination_range;
  SourceRange condition_range;
};

struct ModelJump {
  int block = 0;
  int line = 0;
  Directive kind = Directive::JUMP;
  std::string token;   // as written, prefix included
  std::string target;  // the scene reference after the prefix
  bool guarded = false;
  int target_scene = 0;  // 0 when the reference names no scene
  SourceRange range;     // the token
  SourceRange target_range;
};

struct ModelCondition {
  int block = 0;
  std::string left;
  std::string right;
  Op op = Op::NONE;
  bool closed = false;
  SourceRange range;  // from the `<` to past the `>`
};

enum class VariableAccess { SET_TEXT, SET_NUMBER, READ_TEXT, READ_NUMBER, READ_USES };

struct ModelVariableUse {
  std::string name;
  VariableAccess access = VariableAccess::READ_TEXT;
  int block = 0;
  SourceRange range;
  bool compared = false;  // the left side of a condition without `%` or `$` on either side
};

// A group `( ... )` of a text line; a group that never closes has `closed` false.
struct ModelGroup {
  int block = 0;
  SourcePosition open;
  SourcePosition close;
  bool closed = false;
};

// An edge of the scene graph: how a story may get from one scene to another.
enum class EdgeKind { FOLLOWS, TITLE, CHOICE, JUMP };

struct ModelEdge {
  int from = 0;  // scene numbers
  int to = 0;
  EdgeKind kind = EdgeKind::FOLLOWS;
  int item = -1;  // the choice or jump (index) behind a CHOICE or JUMP edge
};

// How many conditions, variable uses and groups of one text line the model keeps with their
// places. A line may hold hundreds of them, and each costs the model far more than its bytes
// in the file. Beyond this many, a line's variable uses are kept only where one is the first
// of its kind for its name (the first setting, reading, text or numeric use: all the checks
// on names need), and its conditions only where one never closes. Jumps, choices and the
// guards of a directive's alternatives are all kept.
inline constexpr int kLineItemsKept = 16;

struct ScenarioModel {
  std::vector<ModelBlock> blocks;
  std::vector<ModelChoice> choices;
  std::vector<ModelJump> jumps;
  // Deques: these grow with the text, and a vector's growth would hold twice them at once.
  std::deque<ModelCondition> conditions;
  std::deque<ModelVariableUse> variables;  // see kLineItemsKept
  std::deque<ModelGroup> groups;
  std::vector<ModelEdge> edges;
  // By scene number: the block of a named scene, or the message block that gives a built-in
  // scene its body; -1 for none.
  std::vector<int> block_of_scene;
  int start_scene = 1;          // where every story starts
  std::vector<bool> reachable;  // by scene number, from the start
  int scene_count = 0;
};

// Describes the compiled scenario. `store` and `scenario` must be those of one compile.
ScenarioModel build_model(const SourceStore& store, const CompiledScenario& scenario);

// The scene block `block`'s lines run in: its own, or the built-in scene it gives a body to;
// 0 for a message block that gives none its body.
int scene_of_block(const ScenarioModel& model, int block);

// The name a scene is shown by: its block's name, or the built-in scene's alias.
std::string scene_display_name(const ScenarioModel& model, int scene);

}  // namespace plotwright
