// Writing the scene graph for Graphviz (DOT) or Mermaid: the kind of each node by its shape,
// the start marked by an arrow from a small start node, unreachable nodes dashed and grey,
// names that no block bears in red, and, with coverage, each node filled by the share of the
// stories that reached it (red: none).
#pragma once

#include <string>

#include "authoring/scene_graph.h"

namespace plotwright {

// `title` heads the picture (the scenario's file name). With `source_lines`, each node with a
// block of its own carries its block's line as a class, class="line-17", which Graphviz's SVG
// keeps on the node's group: a page that draws the graph can lead from a node to its line.
std::string graph_to_dot(const SceneGraph& graph, const std::string& title,
                         bool source_lines = false);
std::string graph_to_mermaid(const SceneGraph& graph, const std::string& title);

}  // namespace plotwright
