// The generation driver: writes one story by walking the compiled scenario from scene to scene
// and from line to line, within the run's limits.
#pragma once

#include <cstdint>
#include <vector>

#include "base/random_source.h"
#include "base/text.h"
#include "compiler/scene_table.h"
#include "generator/backtrack_history.h"
#include "generator/jump_directives.h"
#include "generator/line_interpreter.h"
#include "generator/line_templates.h"
#include "generator/run_observer.h"
#include "generator/run_state.h"
#include "generator/variables.h"
#include "language/char_classes.h"
#include "output/output_buffers.h"

namespace plotwright {

class GenerationDriver final : private FlushWatcher {
 public:
  GenerationDriver(SceneTable& scenes, OutputBuffers& output, VariableStore& variables,
                   RunState& run_state, RandomSource& random)
      : scenes_(scenes),
        output_(output),
        variables_(variables),
        run_state_(run_state),
        random_(random),
        interpreter_(output, variables, random) {}

  // One run: empties the story and writes a new one into it. Starts at the scene that
  // `start_name` names, or at scene 1.
  void generate_story(const char* start_name);
  // The same, starting at scene `start` (which must exist).
  void generate_story_from(int start);
  // Why the last run ended.
  RunEnd last_end() const { return last_end_; }
  // Tells `observer` (or nobody, with null) what the runs do from now on.
  void set_observer(RunObserver* observer) {
    observer_ = observer;
    output_.set_flush_watcher(observer ? this : nullptr);
  }
  // Whether simple lines run from their compiled forms (the default). The stories are the same
  // either way; tests switch it off to hold the fast path to the general one.
  void use_compiled_lines(bool on) { compiled_lines_ = on; }
  // Forgets what was learnt about the lines of an earlier scenario.
  void clear_line_cache() {
    templates_.clear();
    step_costs_.clear();
  }

  // The work the last run did, in the units of kRunWorkLimit.
  std::int64_t run_work() const { return spent_ + variables_.work() - variables_work_at_start_; }

 private:
  void reset_run();
  void run_from(int current);
  // The current scene's next line, changing scenes as they run out; null ends the run, and
  // `last_end_` says why.
  const char* next_line(int& current);
  // The scene after `current`, which has run out of lines: 0 ends the run.
  int next_scene(int current, Record* list);
  // Runs one line of the current scene; returns false when the run ends.
  bool run_line(const char* line, int& current);
  void apply_directive(Directive code, int scene);
  // Tells the observer about the jump line just parsed into `jump_report_`.
  void report_jump_line(int current, Directive code);
  void run_text_line(const char* line);
  // Where the observer's lines of story text come from: the line about to run (just taken
  // from `scene`), and, after it ran, who began what it left pending.
  void begin_line_source(int scene);
  void end_line_source();
  void flushing(int story_length) override;
  // The work of choosing the next scene of `scene`: its candidates and their conditions.
  std::int64_t step_cost(int scene);
  bool out_of_work() const { return run_work() > kRunWorkLimit; }

  SceneTable& scenes_;
  OutputBuffers& output_;
  VariableStore& variables_;
  RunState& run_state_;
  RandomSource& random_;
  LineInterpreter interpreter_;
  BacktrackHistory history_;
  LineTemplateCache templates_;
  ClassArray classes_;
  TextBuffer bounded_;  // the first 4095 bytes of a longer line
  TextBuffer work_;
  TextBuffer expansion_;
  std::vector<std::int64_t> step_costs_;  // by scene; 0 until first needed
  std::int64_t spent_ = 0;                // work of this run's scene changes
  bool compiled_lines_ = true;
  RunEnd last_end_ = RunEnd::NO_SCENES;
  RunObserver* observer_ = nullptr;
  std::vector<CandidateReport> candidates_;  // the last selection, for the observer
  JumpReport jump_report_;                   // the last jump line, for the observer
  // For text_written: the line running (scene, index), the line that began the pending text,
  // and whether the pending text at the line's start is still waiting to go out.
  int line_scene_ = 0;
  int line_index_ = 0;
  int pending_scene_ = 0;
  int pending_index_ = 0;
  bool carried_ = false;
  std::int64_t variables_work_at_start_ = 0;
};

}  // namespace plotwright
