// Writing the scene graph for Graphviz (DOT) or Mermaid: the kind of each node by its shape,
// the start marked by an arrow from a small start node, unreachable nodes dashed and grey,
// names that no block bears in red, and, with coverage, each node filled by the share of the
// stories that reached it (red: none).
#pragma once

#include <string>

#include "authoring/scene_graph.h"

namespace plotwright {

// `title` heads the picture (the scenario's file name).
std::string graph_to_dot(const SceneGraph& graph, const std::string& title);
std::string graph_to_mermaid(const SceneGraph& graph, const std::string& title);

}  // namespace plotwright
