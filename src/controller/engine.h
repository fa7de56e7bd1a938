// Everything one document owns: the source line store, the compiled scenario, the output
// buffers, the variable store, the per-scene run state, the statistics and the side-effect
// seams. One engine per document; nothing of it is global. Only the document changes it;
// others may look.
#pragma once

#include <cstdint>
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
  // The default seams, used where the caller passed none. Declared first: the references
  // below may point into it.
  struct Defaults {
    StandardRandom random;
    SystemClock clock;
    NullFileStore files;
    NullDiagnostics diagnostics;
  } defaults_;

 public:
  explicit Engine(const DocumentServices& services)
      : random_(services.random ? *services.random : defaults_.random),
        clock_(services.clock ? *services.clock : defaults_.clock),
        files_(services.files ? *services.files : defaults_.files),
        diagnostics_(services.diagnostics ? *services.diagnostics : defaults_.diagnostics),
        variables_(output_, random_),
        driver_(scenario_.scenes, output_, variables_, run_state_, random_) {}

  // What the last load read and compiled, and the counts of the runs since.
  const SourceStore& store() const { return store_; }
  const CompiledScenario& scenario() const { return scenario_; }
  const RunState& run_state() const { return run_state_; }
  // The work the last run did, in the units of kRunWorkLimit.
  std::int64_t run_work() const { return driver_.run_work(); }

 private:
  friend class Document;

  // Writes the active statistics and switches them off. False, with the reason in `error`,
  // when the write failed.
  [[nodiscard]] bool save_statistics(std::string* error);
  // Reads the statistics beside the scenario at `path`, or only seeds the random source.
  // Returns what the user should know about the statistics file.
  std::string prepare_statistics(std::string_view path, bool use_statistics);

  RandomSource& random_;
  Clock& clock_;
  FileStore& files_;
  DiagnosticSink& diagnostics_;

  SourceStore store_;
  CompiledScenario scenario_;
  OutputBuffers output_;
  RunState run_state_;
  VariableStore variables_;
  GenerationDriver driver_;

  bool scenario_loaded_ = false;
  bool last_load_compiled_ = false;  // the last load read and compiled without error
  bool statistics_active_ = false;
  std::string statistics_path_;          // of the active statistics
  StatisticsRecords loaded_statistics_;  // the counts the active statistics started from
  bool shut_down_ = false;
  int start_scene_ = 0;  // 0: where every story starts

  // One story, from the start scene when one is set.
  void generate() {
    const int scenes = scenario_.scenes.scene_count();
    if (start_scene_ > 0 && start_scene_ <= scenes) {
      driver_.generate_story_from(start_scene_);
    } else {
      driver_.generate_story("");
    }
  }
};

}  // namespace plotwright
