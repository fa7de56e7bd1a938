// The load sequence, regeneration and shutdown of the one document.
#include "controller/document.h"

#include "base/limits.h"
#include "base/statistics_path.h"
#include "controller/engine.h"
#include "statistics/usage_statistics.h"

namespace plotwright {

namespace {

constexpr const char* kNewDocumentText = "Vell language scenario file is required";
constexpr const char* kLineLimitText = "Source code exceed over max 200000 lines";

// The compile's errors, one message line each, in the story buffer where the author sees
// them instead of a story.
void write_compile_errors(const std::vector<CompileError>& errors, OutputBuffers& output) {
  for (const CompileError& error : errors) {
    for (const char byte : describe_compile_error(error)) output.story_put_char(byte);
    output.story_put_line_end();
  }
}

}  // namespace

bool Engine::save_statistics(std::string* error) {
  if (!statistics_active_) return true;
  statistics_active_ = false;
  return write_statistics(statistics_path_, run_state_, loaded_statistics_, files_, error);
}

std::string Engine::prepare_statistics(std::string_view path, bool use_statistics) {
  const int scenes = scenario_.scenes.scene_count();
  if (use_statistics) {
    std::string warning;
    statistics_path_ = derive_statistics_path(path);
    statistics_active_ = read_statistics(statistics_path_, scenes, run_state_, files_, random_,
                                         clock_, loaded_statistics_, &warning);
    return warning;
  }
  seed_random(random_, clock_);
  // The counts belong to the scenario they were read for; a new one starts from zero.
  run_state_ = RunState{};
  run_state_.resize(scenes);
  return {};
}

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
  if (std::string unsaved; !engine.save_statistics(&unsaved)) {
    outcome.statistics_error = std::move(unsaved);
  }
  // Compile messages are never shown behind an earlier story.
  engine.output_.reset();
  outcome.line_limit_reached = !read_source_lines(source, engine.store_);
  engine.driver_.clear_line_cache();
  outcome.compile_errors = compile_scenario(engine.store_, engine.scenario_, engine.diagnostics_);
  write_compile_errors(engine.scenario_.errors, engine.output_);
  engine.scenario_loaded_ = true;
  const bool compiled = outcome.compile_errors == 0 && !outcome.line_limit_reached;
  engine.last_load_compiled_ = compiled;
  outcome.statistics_warning = engine.prepare_statistics(
      path, keep_statistics && compiled && engine.scenario_.choice_points > 0);
  engine.variables_.init_variable_buffers();
  if (compiled) {
    engine.generate();
    outcome.generated = true;
  }
  outcome.text =
      outcome.line_limit_reached ? std::string_view(kLineLimitText) : engine.output_.story();
  return outcome;
}

std::optional<std::string_view> Document::regenerate() {
  Engine& engine = *engine_;
  // After a failed load there is no sound scenario to walk: the shown messages stay.
  if (!engine.scenario_loaded_ || !engine.last_load_compiled_) return std::nullopt;
  engine.generate();
  return engine.output_.story();
}

bool Document::shutdown(std::string* error) {
  Engine& engine = *engine_;
  if (engine.shut_down_) return true;
  engine.shut_down_ = true;
  return engine.save_statistics(error);
}

void Document::set_start_scene(int scene) {
  engine_->start_scene_ = scene;
}

void Document::set_run_observer(RunObserver* observer) {
  engine_->driver_.set_observer(observer);
}

RunEnd Document::last_run_end() const {
  return engine_->driver_.last_end();
}

void Document::drop_statistics() {
  engine_->statistics_active_ = false;
}

std::string Document::statistics_text() const {
  const Engine& engine = *engine_;
  if (!engine.statistics_active_) return {};
  // Merged with a file that does not fit, the records are this run's counts alone, and those
  // started from the ones the load read.
  return format_statistics(merge_statistics({}, engine.run_state_, engine.loaded_statistics_));
}
const Engine& Document::engine() const {
  return *engine_;
}

}  // namespace plotwright
