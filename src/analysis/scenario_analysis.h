// One scenario read, compiled and described for the author tools (check, graph, the language
// server, the web page), from the engine's bytes. It owns what the compiled tables and the
// model point into. Generation neither needs nor changes it.
#pragma once

#include <string_view>
#include <vector>

#include "analysis/diagnostics.h"
#include "analysis/scenario_model.h"
#include "compiler/scenario_compiler.h"
#include "compiler/source_reader.h"

namespace plotwright {

class ScenarioAnalysis {
 public:
  // `engine_bytes`: the scenario in the engine's encoding (Shift-JIS), as a load reads it.
  explicit ScenarioAnalysis(std::string_view engine_bytes);
  ScenarioAnalysis(const ScenarioAnalysis&) = delete;
  ScenarioAnalysis& operator=(const ScenarioAnalysis&) = delete;

  const SourceStore& store() const { return store_; }
  const CompiledScenario& scenario() const { return scenario_; }
  const ScenarioModel& model() const { return model_; }
  const std::vector<Diagnostic>& diagnostics() const { return diagnostics_; }
  bool line_limit_reached() const { return line_limit_reached_; }
  // True when any diagnostic is an error: the scenario tells no story as it stands.
  bool has_errors() const;

 private:
  SourceStore store_;
  CompiledScenario scenario_;
  bool line_limit_reached_ = false;
  ScenarioModel model_;
  std::vector<Diagnostic> diagnostics_;
};

}  // namespace plotwright
