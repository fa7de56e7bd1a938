// Building the scene graph, with or without the stories' coverage, and writing it.
#include "cli/graph_command.h"

#include <memory>
#include <ostream>

#include "authoring/checked_scenario.h"
#include "authoring/graph_writer.h"
#include "cli/coverage_run.h"
#include "cli/scenario_input.h"

namespace plotwright::cli {

namespace {

std::string picture_title(const ScenarioInput& input) {
  const std::size_t slash = input.name.rfind('/');
  return slash == std::string::npos ? input.name : input.name.substr(slash + 1);
}

// The graph as the author wrote the scenario, mistakes and all.
bool plain_graph(const Options& options, ScenarioInput& input, SceneGraph& graph,
                 std::ostream& err) {
  std::unique_ptr<CheckedScenario> checked;
  std::string error;
  if (!CheckedScenario::check(*input.codec, input.scenario.file_bytes, options.encoding, checked,
                              &error)) {
    err << "plotwright: " << input.name << ": " << error << '\n';
    return false;
  }
  if (checked->has_errors()) {
    err << "plotwright: warning: " << input.name
        << " has errors, and tells no story as it stands ('plotwright check' lists them)\n";
  }
  const ScenarioModel& model = checked->analysis().model();
  graph = build_scene_graph(model, SceneNames(model, *input.codec), *input.codec, nullptr);
  return true;
}

int covered_graph(const Options& options, ScenarioInput& input, SceneGraph& graph,
                  std::ostream& err) {
  if (!decode_input(input, err)) return kExitUsage;
  const bool progress = wants_progress(options.runs);
  CoverageRun run;
  const int status = run_coverage_stories(options, input, progress, run, err);
  if (status != kExitStory) return status;
  graph = build_scene_graph(run.model, SceneNames(run.model, *input.codec), *input.codec,
                            &run.recorder);
  return kExitStory;
}

}  // namespace

int run_graph(const Options& options, std::ostream& out, std::ostream& err) {
  ScenarioInput input;
  if (!read_input(options, input, err)) return kExitUsage;
  SceneGraph graph;
  if (options.runs > 0) {
    const int status = covered_graph(options, input, graph, err);
    if (status != kExitStory) return status;
  } else if (!plain_graph(options, input, graph, err)) {
    return kExitUsage;
  }
  const std::string title = picture_title(input);
  out << (options.format == "mermaid" ? graph_to_mermaid(graph, title)
                                      : graph_to_dot(graph, title));
  if (!out.flush()) {
    err << "plotwright: could not write to standard output\n";
    return kExitUsage;
  }
  return kExitStory;
}

}  // namespace plotwright::cli
