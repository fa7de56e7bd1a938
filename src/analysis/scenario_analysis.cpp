// Reading, compiling and describing one scenario.
#include "analysis/scenario_analysis.h"

#include <algorithm>

#include "base/diagnostics.h"
#include "compiler/line_source.h"

namespace plotwright {

ScenarioAnalysis::ScenarioAnalysis(std::string_view engine_bytes) {
  MemoryLineSource source(engine_bytes);
  line_limit_reached_ = !read_source_lines(source, store_);
  NullDiagnostics trace;
  compile_scenario(store_, scenario_, trace);
  model_ = build_model(store_, scenario_);
  diagnostics_ = check_scenario(store_, scenario_, model_, line_limit_reached_, engine_bytes);
}

bool ScenarioAnalysis::has_errors() const {
  return std::any_of(diagnostics_.begin(), diagnostics_.end(),
                     [](const Diagnostic& d) { return d.severity == Severity::ERROR; });
}

}  // namespace plotwright
