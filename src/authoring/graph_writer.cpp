// The scene graph as DOT and as Mermaid.
#include "authoring/graph_writer.h"

#include <cstdio>
#include <vector>

namespace plotwright {

namespace {

// Fill colours by the share of the stories that reached a node: none (red), under 1 %, under
// 10 %, under half, half or more (green).
constexpr const char* kCoverageFills[] = {"#f4a3a3", "#fbd3a5", "#fcefa5", "#d2eba6", "#a6d99a"};

int coverage_bucket(std::int64_t stories, std::int64_t runs) {
  if (stories <= 0 || runs <= 0) return 0;
  const double share = static_cast<double>(stories) / static_cast<double>(runs);
  return share < 0.01 ? 1 : share < 0.1 ? 2 : share < 0.5 ? 3 : 4;
}

// The lines of a node's label: its name, then what the picture should say about it.
std::vector<std::string> label_lines(const GraphNode& node, std::int64_t runs) {
  std::vector<std::string> lines{node.label};
  if (node.kind == GraphNodeKind::MISSING) lines.emplace_back("(not found)");
  if (node.unreachable) lines.emplace_back("(unreachable)");
  if (node.stories && node.kind != GraphNodeKind::MISSING) {
    char text[64];
    std::snprintf(text, sizeof text, "%lld (%.1f%%)", static_cast<long long>(*node.stories),
                  runs > 0 ? 100.0 * static_cast<double>(*node.stories) / runs : 0.0);
    lines.emplace_back(text);
  }
  return lines;
}

std::string joined(const std::vector<std::string>& lines, const std::string& separator) {
  std::string out;
  for (std::size_t i = 0; i < lines.size(); ++i) out += (i ? separator : "") + lines[i];
  return out;
}

std::string summary(const SceneGraph& graph, const std::string& title) {
  if (graph.runs == 0) return title;
  return title + ": " + std::to_string(graph.runs) + (graph.runs == 1 ? " story" : " stories") +
         " (red: never reached)";
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// DOT.

namespace {

// A DOT string: quotes and backslashes escaped, line ends as \n.
std::string dot_quoted(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out + "\"";
}

const char* dot_shape(GraphNodeKind kind) {
  switch (kind) {
    case GraphNodeKind::TITLE:
      return "house";
    case GraphNodeKind::SCENE:
      return "box";
    case GraphNodeKind::SELECT:
      return "diamond";
    case GraphNodeKind::BUILTIN:
      return "ellipse";
    case GraphNodeKind::MESSAGE:
      return "note";
    case GraphNodeKind::MISSING:
      return "box";
  }
  return "box";
}

void dot_node(const GraphNode& node, std::int64_t runs, bool source_lines, std::string& out) {
  out += "  " + node.id + " [label=" + dot_quoted(joined(label_lines(node, runs), "\n")) +
         ", shape=" + dot_shape(node.kind);
  std::vector<std::string> styles;
  if (node.kind == GraphNodeKind::SCENE) styles.emplace_back("rounded");
  if (node.unreachable || node.kind == GraphNodeKind::MISSING) styles.emplace_back("dashed");
  if (node.stories && node.kind != GraphNodeKind::MISSING) {
    styles.emplace_back("filled");
    out +=
        ", fillcolor=\"" + std::string(kCoverageFills[coverage_bucket(*node.stories, runs)]) + "\"";
  }
  if (!styles.empty()) out += ", style=\"" + joined(styles, ",") + "\"";
  if (node.kind == GraphNodeKind::MISSING) out += ", color=red3, fontcolor=red3";
  if (node.unreachable) out += ", color=gray50, fontcolor=gray35";
  if (source_lines && node.line > 0) out += ", class=\"line-" + std::to_string(node.line) + "\"";
  out += "];\n";
}

void dot_edge(const SceneGraph& graph, const GraphEdge& edge, std::string& out) {
  out += "  " + graph.nodes[edge.from].id + " -> " + graph.nodes[edge.to].id;
  std::vector<std::string> attributes;
  if (!edge.label.empty()) attributes.push_back("label=" + dot_quoted(edge.label));
  if (edge.kind == GraphEdgeKind::JUMP || edge.kind == GraphEdgeKind::DIRECTIVE) {
    attributes.emplace_back("style=dashed");
  }
  if (edge.kind == GraphEdgeKind::DIRECTIVE) {
    attributes.emplace_back("color=gray55, fontcolor=gray40, arrowhead=empty");
  }
  if (!attributes.empty()) out += " [" + joined(attributes, ", ") + "]";
  out += ";\n";
}

}  // namespace

std::string graph_to_dot(const SceneGraph& graph, const std::string& title, bool source_lines) {
  std::string out = "digraph " + dot_quoted(title) + " {\n";
  out += "  graph [label=" + dot_quoted(summary(graph, title)) +
         ", labelloc=t, fontname=\"sans-serif\"];\n"
         "  node [fontname=\"sans-serif\", fontsize=11];\n"
         "  edge [fontname=\"sans-serif\", fontsize=9];\n"
         "  start [label=\"\", shape=circle, style=filled, fillcolor=black, width=0.2];\n";
  out.reserve(out.size() + graph.nodes.size() * 64 + graph.edges.size() * 40);
  for (const GraphNode& node : graph.nodes) dot_node(node, graph.runs, source_lines, out);
  if (!graph.nodes.empty()) out += "  start -> " + graph.nodes[graph.start].id + ";\n";
  for (const GraphEdge& edge : graph.edges) dot_edge(graph, edge, out);
  return out + "}\n";
}

// ---------------------------------------------------------------------------------------------
// Mermaid.

namespace {

// Text inside a quoted Mermaid label: the characters that Mermaid or HTML would read as
// markup written as entity codes.
std::string mermaid_text(const std::string& text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '"':
        out += "#quot;";
        break;
      case '#':
        out += "#35;";
        break;
      case '<':
        out += "#lt;";
        break;
      case '>':
        out += "#gt;";
        break;
      case '&':
        out += "#amp;";
        break;
      case '|':
        out += "#124;";
        break;
      case '\n':
        out += "<br/>";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// The node's shape around its quoted label.
std::pair<const char*, const char*> mermaid_shape(GraphNodeKind kind) {
  switch (kind) {
    case GraphNodeKind::TITLE:
      return {"[/\"", "\"\\]"};
    case GraphNodeKind::SCENE:
      return {"(\"", "\")"};
    case GraphNodeKind::SELECT:
      return {"{\"", "\"}"};
    case GraphNodeKind::BUILTIN:
      return {"([\"", "\"])"};
    case GraphNodeKind::MESSAGE:
      return {">\"", "\"]"};
    case GraphNodeKind::MISSING:
      return {"[\"", "\"]"};
  }
  return {"[\"", "\"]"};
}

std::string mermaid_label(const GraphNode& node, std::int64_t runs) {
  std::vector<std::string> lines = label_lines(node, runs);
  for (std::string& line : lines) line = mermaid_text(line);
  return joined(lines, "<br/>");
}

// "class a,b,c NAME" for the nodes in `ids`; nothing when there are none.
void mermaid_class(const std::vector<std::string>& ids, const char* name, std::string& out) {
  if (!ids.empty()) out += "  class " + joined(ids, ",") + " " + name + "\n";
}

void mermaid_classes(const SceneGraph& graph, std::string& out) {
  out +=
      "  classDef startmark fill:#000,stroke:#000,color:#fff\n"
      "  classDef unreachable stroke-dasharray:5 5,color:#666\n"
      "  classDef missing stroke:#c00,color:#c00,stroke-dasharray:3 3\n";
  std::vector<std::string> unreachable, missing, by_share[5];
  for (const GraphNode& node : graph.nodes) {
    if (node.unreachable) unreachable.push_back(node.id);
    if (node.kind == GraphNodeKind::MISSING) missing.push_back(node.id);
    if (node.stories && node.kind != GraphNodeKind::MISSING) {
      by_share[coverage_bucket(*node.stories, graph.runs)].push_back(node.id);
    }
  }
  out += "  class start startmark\n";
  mermaid_class(unreachable, "unreachable", out);
  mermaid_class(missing, "missing", out);
  for (int bucket = 0; bucket < 5; ++bucket) {
    if (by_share[bucket].empty()) continue;
    const std::string name = "reached" + std::to_string(bucket);
    out += "  classDef " + name + " fill:" + kCoverageFills[bucket] + "\n";
    mermaid_class(by_share[bucket], name.c_str(), out);
  }
}

}  // namespace

std::string graph_to_mermaid(const SceneGraph& graph, const std::string& title) {
  std::string out = "%% " + summary(graph, title) + "\nflowchart TD\n  start((start))\n";
  for (const GraphNode& node : graph.nodes) {
    const auto [open, close] = mermaid_shape(node.kind);
    out += "  " + node.id + open + mermaid_label(node, graph.runs) + close + "\n";
  }
  std::vector<std::string> directives;
  if (!graph.nodes.empty()) out += "  start --> " + graph.nodes[graph.start].id + "\n";
  for (std::size_t i = 0; i < graph.edges.size(); ++i) {
    const GraphEdge& edge = graph.edges[i];
    const bool dashed = edge.kind == GraphEdgeKind::JUMP || edge.kind == GraphEdgeKind::DIRECTIVE;
    out += "  " + graph.nodes[edge.from].id + (dashed ? " -.->" : " -->");
    if (!edge.label.empty()) out += "|\"" + mermaid_text(edge.label) + "\"|";
    out += " " + graph.nodes[edge.to].id + "\n";
    // The start's arrow is link 0.
    if (edge.kind == GraphEdgeKind::DIRECTIVE) directives.push_back(std::to_string(i + 1));
  }
  mermaid_classes(graph, out);
  if (!directives.empty()) out += "  linkStyle " + joined(directives, ",") + " stroke:#999\n";
  return out;
}

}  // namespace plotwright
