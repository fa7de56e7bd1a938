// The scene graph's start and its built-in scenes, where the scenario moves them: the
// structure behind the pictures the golden cases hold.
#include "authoring/scene_graph.h"

#include <gtest/gtest.h>

#include <optional>

#include "analysis/scenario_analysis.h"
#include "authoring/graph_writer.h"

namespace plotwright {
namespace {

class SceneGraphTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(Cp932Codec::open(codec, nullptr)); }

  SceneGraph graph_of(const char* scenario) {
    analysis.emplace(scenario);
    const ScenarioModel& model = analysis->model();
    return build_scene_graph(model, SceneNames(model, *codec), *codec, nullptr);
  }
  static std::string start_of(const SceneGraph& graph) { return graph.nodes[graph.start].label; }
  // "from>to label" for each edge.
  static std::vector<std::string> edges(const SceneGraph& graph) {
    std::vector<std::string> out;
    for (const GraphEdge& e : graph.edges) {
      out.push_back(graph.nodes[e.from].label + ">" + graph.nodes[e.to].label + " " + e.label);
    }
    return out;
  }

  std::optional<Cp932Codec> codec;
  std::optional<ScenarioAnalysis> analysis;
};

TEST_F(SceneGraphTest, StartsAtTheTitleListPastTheBuiltInScenesBeforeIt) {
  const SceneGraph graph = graph_of("title A\nx\n");
  EXPECT_EQ(start_of(graph), "title list");
  EXPECT_EQ(graph.nodes.size(), 2u);  // A and the title list: scenes 1 and 2 are not drawn
}

TEST_F(SceneGraphTest, StartsAtABlockThatTakesTheStart) {
  EXPECT_EQ(start_of(graph_of("title A\nx\nscene Vell_novels\ny\n")), "Vell_novels");
  EXPECT_EQ(start_of(graph_of("title A\nx\nscene\ny\n")), "(no name)");
}

TEST_F(SceneGraphTest, DrawsTheStartMessageWhenItsBodyJumps) {
  const SceneGraph graph = graph_of("koru start_message\n{B}\ntitle A\nx\nscene B\ny\n");
  EXPECT_EQ(start_of(graph), "start_message");
  EXPECT_EQ(edges(graph), (std::vector<std::string>{"title list>A ", "start_message>B jump",
                                                    "start_message>title list "}));
}

TEST_F(SceneGraphTest, DrawsEachUnknownNameOnceAndAMessageBlockNothingUses) {
  const SceneGraph graph = graph_of("title A\n{Nope}\n{Nope}\n{!Nope}\nkoru intro\nhi\n");
  int missing = 0;
  for (const GraphNode& node : graph.nodes) missing += node.kind == GraphNodeKind::MISSING;
  EXPECT_EQ(missing, 1);
  EXPECT_EQ(edges(graph),
            (std::vector<std::string>{"title list>A ", "A>Nope jump", "A>Nope disable"}));
  EXPECT_EQ(graph.nodes[1].label, "intro");
  EXPECT_EQ(graph.nodes[1].kind, GraphNodeKind::MESSAGE);
  EXPECT_TRUE(graph.nodes[1].unreachable);
}

// A node leads to its block's statement line; a built-in scene to the message block that gives
// it its body; the title list and names no block bears to no line. The DOT carries the lines
// only when asked, so that the graph command's pictures stay as they were.
TEST_F(SceneGraphTest, KnowsEachBlocksLineAndWritesItOnlyWhenAsked) {
  const SceneGraph graph =
      graph_of("koru start_message\n{B}\ntitle A\n{Nope}\n\nscene B\ny\nkoru lost\nz\n");
  std::vector<std::string> lines;
  for (const GraphNode& node : graph.nodes) {
    lines.push_back(node.label + ":" + std::to_string(node.line));
  }
  EXPECT_EQ(lines, (std::vector<std::string>{"A:3", "B:6", "lost:8", "title list:0",
                                             "start_message:1", "Nope:0"}));
  const std::string dot = graph_to_dot(graph, "t", true);
  EXPECT_NE(dot.find("shape=house, class=\"line-3\"];"), std::string::npos) << dot;
  EXPECT_NE(dot.find("class=\"line-1\""), std::string::npos);
  EXPECT_EQ(dot.find("line-0"), std::string::npos);
  EXPECT_EQ(graph_to_dot(graph, "t").find("class="), std::string::npos);
}

}  // namespace
}  // namespace plotwright
