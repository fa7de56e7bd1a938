// The scene graph that the graph command draws: the scenario's blocks, and the built-in scenes
// that stories pass through, as nodes; choices, titles and directives as edges. Independent of
// the drawing format.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/scenario_model.h"
#include "authoring/coverage.h"
#include "authoring/scene_names.h"
#include "encoding/cp932_codec.h"

namespace plotwright {

enum class GraphNodeKind {
  TITLE,    // a title block: one of the story's openings
  SCENE,    // a scene block
  SELECT,   // a select block, or the title list: a draw among choices
  BUILTIN,  // a built-in scene that a jump reaches, such as No or paragraph
  MESSAGE,  // a message block that gives no built-in scene its body
  MISSING,  // a name that a choice or a jump names and no block bears
};

struct GraphNode {
  std::string id;     // s<scene>, b<block> or m<n>: unique, plain ASCII
  std::string label;  // UTF-8
  GraphNodeKind kind = GraphNodeKind::SCENE;
  bool unreachable = false;             // no path leads to it from the start
  std::optional<std::int64_t> stories;  // with coverage: the stories that reached it
  int line = 0;  // the physical line of its block's statement; 0 for a node without a block
};

enum class GraphEdgeKind {
  FOLLOWS,    // a built-in scene's fixed successor
  TITLE,      // the title list to a title
  CHOICE,     // a select block to a choice; labelled with its condition
  JUMP,       // a jump; labelled "jump", with its condition when it has one
  DIRECTIVE,  // a directive that changes a scene's standing; labelled with its kind
};

struct GraphEdge {
  int from = 0;  // node indexes
  int to = 0;
  GraphEdgeKind kind = GraphEdgeKind::CHOICE;
  std::string label;  // UTF-8; the labels of several such edges, one a line
};

struct SceneGraph {
  std::vector<GraphNode> nodes;
  std::vector<GraphEdge> edges;  // one of each kind from a node to a node
  int start = 0;                 // the node where every story starts
  std::int64_t runs = 0;         // with coverage: the stories counted
};

// The graph of `model`. With `coverage`, each scene's node counts the stories that reached it.
SceneGraph build_scene_graph(const ScenarioModel& model, const SceneNames& names, Cp932Codec& codec,
                             const CoverageRecorder* coverage);

}  // namespace plotwright
