// Building the scene graph from the author's model of a scenario.
#include "authoring/scene_graph.h"

#include <map>
#include <tuple>
#include <unordered_map>
#include <utility>

#include "base/limits.h"

namespace plotwright {

namespace {

const char* op_text(Op op) {
  switch (op) {
    case Op::EQ:
      return "==";
    case Op::NE:
      return "!=";
    case Op::LE:
      return "<=";
    case Op::LT:
      return "<";
    case Op::GE:
      return ">=";
    case Op::GT:
      return ">";
    case Op::NONE:
      return "";
  }
  return "";
}

GraphNodeKind kind_of(BlockKind kind) {
  switch (kind) {
    case BlockKind::TITLE:
      return GraphNodeKind::TITLE;
    case BlockKind::SCENE:
      return GraphNodeKind::SCENE;
    case BlockKind::SELECT:
      return GraphNodeKind::SELECT;
    case BlockKind::MESSAGE:
      return GraphNodeKind::MESSAGE;
  }
  return GraphNodeKind::SCENE;
}

class GraphBuilder {
 public:
  GraphBuilder(const ScenarioModel& model, const SceneNames& names, Cp932Codec& codec,
               const CoverageRecorder* coverage)
      : model_(model), names_(names), codec_(codec), coverage_(coverage) {
    node_of_scene_.assign(static_cast<std::size_t>(model.scene_count) + 1, -1);
    graph_.runs = coverage ? coverage->stories() : 0;
  }

  SceneGraph build() {
    add_block_nodes();
    add_titles();
    add_choices();
    add_jumps();
    add_start();
    return std::move(graph_);
  }

 private:
  int add_node(std::string id, std::string label, GraphNodeKind kind, bool cut_off, int scene,
               int line = 0) {
    GraphNode node{std::move(id), std::move(label), kind, cut_off, std::nullopt, line};
    if (coverage_) node.stories = scene > 0 ? coverage_->reached(scene) : 0;
    graph_.nodes.push_back(std::move(node));
    return static_cast<int>(graph_.nodes.size()) - 1;
  }

  // The node of a scene, made on first use: the built-in scenes get one only when an edge
  // meets them.
  int scene_node(int scene) {
    int& node = node_of_scene_[scene];
    if (node >= 0) return node;
    const GraphNodeKind kind =
        scene == kSceneTitleList ? GraphNodeKind::SELECT : GraphNodeKind::BUILTIN;
    const auto body = message_line_.find(scene);
    node = add_node("s" + std::to_string(scene), names_.name(scene), kind, unreachable(scene),
                    scene, body == message_line_.end() ? 0 : body->second);
    return node;
  }

  int missing_node(const std::string& engine_name) {
    const auto [found, added] =
        missing_.try_emplace(engine_name, static_cast<int>(graph_.nodes.size()));
    if (added) {
      add_node("m" + std::to_string(missing_.size()), codec_.engine_text_to_utf8(engine_name),
               GraphNodeKind::MISSING, false, 0);
    }
    return found->second;
  }

  // One edge of a kind from a node to a node: a second one's label joins the first's, on a
  // line of its own, unless it is there already. Beside a condition, a choice without one
  // reads "always".
  void add_edge(int from, int to, GraphEdgeKind kind, const std::string& label) {
    const auto [found, added] = edge_of_.try_emplace(std::tuple{from, to, static_cast<int>(kind)},
                                                     static_cast<int>(graph_.edges.size()));
    if (added) {
      graph_.edges.push_back(GraphEdge{from, to, kind, label});
      return;
    }
    std::string& joined = graph_.edges[found->second].label;
    if (label.empty() && joined.empty()) return;
    if (joined.empty()) joined = "always";
    const std::string line = label.empty() ? "always" : label;
    if (("\n" + joined + "\n").find("\n" + line + "\n") == std::string::npos) {
      joined += "\n" + line;
    }
  }

  bool unreachable(int scene) const {
    return static_cast<std::size_t>(scene) < model_.reachable.size() && !model_.reachable[scene];
  }

  void add_block_nodes();
  void add_titles();
  void add_choices();
  void add_jumps();
  void add_start();
  std::string jump_label(std::size_t index);

  const ScenarioModel& model_;
  const SceneNames& names_;
  Cp932Codec& codec_;
  const CoverageRecorder* coverage_;
  SceneGraph graph_;
  std::vector<int> node_of_scene_;
  std::unordered_map<std::string, int> missing_;
  std::unordered_map<int, int> message_line_;  // a built-in scene's: its message block's line
  std::map<std::tuple<int, int, int>, int> edge_of_;  // from, to, kind: the edge's index
  // Where each condition ends: a guarded jump's target begins there.
  std::map<std::pair<int, int>, int> condition_ending_at_;
};

// Every block in the file's order; a message block only when it gives no built-in scene its
// body (one that does is drawn as that scene, where an edge meets it).
void GraphBuilder::add_block_nodes() {
  for (int b = 0; b < static_cast<int>(model_.blocks.size()); ++b) {
    const ModelBlock& block = model_.blocks[b];
    if (block.scene != 0) {
      node_of_scene_[block.scene] =
          add_node("s" + std::to_string(block.scene), names_.block_name(b), kind_of(block.kind),
                   unreachable(block.scene), block.scene, block.statement.begin.line);
    } else if (const int body_of = scene_of_block(model_, b); body_of == 0) {
      add_node("b" + std::to_string(b), names_.block_name(b), GraphNodeKind::MESSAGE, true, 0,
               block.statement.begin.line);
    } else {
      message_line_.emplace(body_of, block.statement.begin.line);
    }
  }
}

void GraphBuilder::add_titles() {
  for (const ModelEdge& edge : model_.edges) {
    if (edge.kind != EdgeKind::TITLE) continue;
    add_edge(scene_node(edge.from), scene_node(edge.to), GraphEdgeKind::TITLE, "");
  }
}

void GraphBuilder::add_choices() {
  for (const ModelChoice& choice : model_.choices) {
    const int from = scene_node(model_.blocks[choice.block].scene);
    const int to = choice.target > 0            ? scene_node(choice.target)
                   : choice.destination.empty() ? -1
                                                : missing_node(choice.destination);
    if (to >= 0)
      add_edge(from, to, GraphEdgeKind::CHOICE, codec_.engine_text_to_utf8(choice.condition));
  }
}

void GraphBuilder::add_jumps() {
  for (std::size_t i = 0; i < model_.conditions.size(); ++i) {
    const SourcePosition& end = model_.conditions[i].range.end;
    condition_ending_at_.emplace(std::pair{end.line, end.column}, static_cast<int>(i));
  }
  for (std::size_t i = 0; i < model_.jumps.size(); ++i) {
    const ModelJump& jump = model_.jumps[i];
    const int from_scene = scene_of_block(model_, jump.block);
    if (from_scene == 0 || jump.target.empty()) continue;
    const bool known = jump.target_scene > 0 && jump.target_scene <= model_.scene_count;
    const int to = known ? scene_node(jump.target_scene) : missing_node(jump.target);
    const GraphEdgeKind kind =
        jump.kind == Directive::JUMP ? GraphEdgeKind::JUMP : GraphEdgeKind::DIRECTIVE;
    add_edge(scene_node(from_scene), to, kind, jump_label(i));
  }
}

// "jump", "jump if %n>1" for a guarded alternative, "jump otherwise" for the alternative after
// guarded ones; a directive's kind.
std::string GraphBuilder::jump_label(std::size_t index) {
  const ModelJump& jump = model_.jumps[index];
  std::string label = directive_word(jump.kind);
  if (jump.guarded) {
    const SourcePosition& begin = jump.range.begin;
    const auto found = condition_ending_at_.find({begin.line, begin.column});
    if (found == condition_ending_at_.end()) return label;
    const ModelCondition& c = model_.conditions[found->second];
    return label + " if " + codec_.engine_text_to_utf8(c.left + op_text(c.op) + c.right);
  }
  const bool after_guarded =
      index > 0 && model_.jumps[index - 1].guarded && model_.jumps[index - 1].line == jump.line;
  return after_guarded ? label + " otherwise" : label;
}

// The node where stories start: the start scene, or the first scene after it, along the
// built-in scenes' fixed successors, that the graph shows (the title list, usually).
void GraphBuilder::add_start() {
  std::vector<int> follows(node_of_scene_.size(), 0);
  for (const ModelEdge& edge : model_.edges) {
    if (edge.kind == EdgeKind::FOLLOWS) follows[edge.from] = edge.to;
  }
  int scene = model_.start_scene;
  for (int step = 0; step < kSpecialScenes && node_of_scene_[scene] < 0 && follows[scene]; ++step) {
    scene = follows[scene];
  }
  graph_.start = scene_node(scene);
  for (int from = 1; from < static_cast<int>(follows.size()) && from <= kSpecialScenes; ++from) {
    if (follows[from] && node_of_scene_[from] >= 0 && node_of_scene_[follows[from]] >= 0) {
      add_edge(node_of_scene_[from], node_of_scene_[follows[from]], GraphEdgeKind::FOLLOWS, "");
    }
  }
}

}  // namespace

SceneGraph build_scene_graph(const ScenarioModel& model, const SceneNames& names, Cp932Codec& codec,
                             const CoverageRecorder* coverage) {
  return GraphBuilder(model, names, codec, coverage).build();
}

}  // namespace plotwright
