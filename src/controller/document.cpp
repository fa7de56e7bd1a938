// The load sequence, regeneration and shutdown of the one document.
#include "controller/document.h"

#include "base/limits.h"
#include "controller/engine.h"
#include "statistics/usage_statistics.h"

namespace plotwright {

namespace {

constexpr const char* kNewDocumentText = "Vell language scenario file is required";
constexpr const char* kLineLimitText = "Source code exceed over max 200000 lines";

// Writes the active statistics and switches them off; returns the reason a write failed.
std::string save_statistics(Engine& engine) {
  if (!engine.statistics_active) return {};
  engine.statistics_active = false;
  std::string error;
  write_statistics(engine.statistics_path, engine.run_state, engine.loaded_statistics, engine.files,
                   &error);
  return error;
}

// Reads the statistics beside the scenario, or only seeds the random source. Returns what
// the user should know about the statistics file.
std::string prepare_statistics(Engine& engine, std::string_view path, bool use_statistics) {
  const int scenes = engine.scenario.scenes.scene_count();
  if (use_statistics) {
    std::string warning;
    engine.statistics_path = derive_statistics_path(path);
    engine.statistics_active =
        read_statistics(engine.statistics_path, scenes, engine.run_state, engine.files,
                        engine.random, engine.clock, engine.loaded_statistics, &warning);
    return warning;
  }
  seed_random(engine.random, engine.clock);
  // The counts belong to the scenario they were read for; a new one starts from zero.
  engine.run_state = RunState{};
  engine.run_state.resize(scenes);
  return {};
}

}  // namespace

Document::Document(DocumentServices services) : engine_(std::make_unique<Engine>(services)) {}
Document::~Document() = default;

std::string_view Document::new_document_text() {
  return kNewDocumentText;
}

LoadOutcome Document::load_scenario(LineSource& source, std::string_view path,
                                    bool keep_statistics) {
  Engine& engine = *engine_;
  LoadOutcome outcome;
  // An earlier scenario's statistics are saved with its own counts before they are replaced.
  outcome.statistics_error = save_statistics(engine);
  // Compile messages are never shown behind an earlier story.
  engine.output.reset();
  outcome.read_result = read_source_lines(source, engine.store);
  engine.driver.clear_line_cache();
  outcome.compile_result =
      compile_scenario(engine.store, engine.scenario, engine.output, engine.diagnostics);
  engine.scenario_loaded = true;
  const bool compiled = outcome.compile_result == 0 && outcome.read_result == 0;
  engine.last_load_compiled = compiled;
  outcome.statistics_warning = prepare_statistics(
      engine, path, keep_statistics && compiled && engine.scenario.choice_points > 0);
  engine.variables.init_variable_buffers();
  if (compiled) {
    engine.driver.generate_story("");
    outcome.generated = true;
  }
  outcome.text =
      outcome.read_result != 0 ? std::string_view(kLineLimitText) : engine.output.story();
  return outcome;
}

std::optional<std::string_view> Document::regenerate() {
  Engine& engine = *engine_;
  // After a failed load there is no sound scenario to walk: the shown messages stay.
  if (!engine.scenario_loaded || !engine.last_load_compiled) return std::nullopt;
  engine.driver.generate_story("");
  return engine.output.story();
}

ShutdownOutcome Document::shutdown() {
  Engine& engine = *engine_;
  ShutdownOutcome outcome;
  if (engine.shut_down) return outcome;
  engine.shut_down = true;
  outcome.wrote = engine.statistics_active;
  outcome.error = save_statistics(engine);
  return outcome;
}

void Document::drop_statistics() {
  engine_->statistics_active = false;
}

bool Document::scenario_loaded() const {
  return engine_->scenario_loaded;
}
bool Document::statistics_active() const {
  return engine_->statistics_active;
}
std::string Document::statistics_path() const {
  return engine_->statistics_active ? engine_->statistics_path : std::string();
}
Engine& Document::engine() {
  return *engine_;
}

}  // namespace plotwright
