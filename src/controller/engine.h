// Everything one document owns: the source line store, the compiled scenario, the output
// buffers, the variable store, the per-scene run state, the statistics and the side-effect
// seams. One engine per document; nothing of it is global.
#pragma once

#include <string>

#include "base/clock.h"
#include "base/diagnostics.h"
#include "base/file_store.h"
#include "base/random_source.h"
#include "compiler/scenario_compiler.h"
#include "compiler/source_reader.h"
#include "controller/document.h"
#include "generator/generation_driver.h"
#include "generator/run_state.h"
#include "generator/variables.h"
#include "output/output_buffers.h"
#include "statistics/usage_statistics.h"

namespace plotwright {

class Engine {
  // The real seams, used where the caller passed none. Declared first: the references below
  // may point into it.
  struct Defaults {
    StandardRandom random;
    SystemClock clock;
    NullFileStore files;
    NullDiagnostics diagnostics;
  } defaults_;

 public:
  explicit Engine(const DocumentServices& services)
      : random(services.random ? *services.random : defaults_.random),
        clock(services.clock ? *services.clock : defaults_.clock),
        files(services.files ? *services.files : defaults_.files),
        diagnostics(services.diagnostics ? *services.diagnostics : defaults_.diagnostics),
        variables(output, random),
        driver(scenario.scenes, output, variables, run_state, random) {}

  RandomSource& random;
  Clock& clock;
  FileStore& files;
  DiagnosticSink& diagnostics;

  SourceStore store;
  CompiledScenario scenario;
  OutputBuffers output;
  RunState run_state;
  VariableStore variables;
  GenerationDriver driver;

  bool scenario_loaded = false;
  bool last_load_compiled = false;  // the last load read and compiled without error
  bool statistics_active = false;
  std::string statistics_path;          // of the active statistics
  StatisticsRecords loaded_statistics;  // the counts the active statistics started from
  bool shut_down = false;
};

}  // namespace plotwright
