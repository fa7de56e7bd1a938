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
#include "generator/run_state.h"
#include "generator/variables.h"
#include "language/char_classes.h"
#include "output/output_buffers.h"

namespace plotwright {

class GenerationDriver {
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
  // The current scene's next line, changing scenes as they run out; null ends the run.
  const char* next_line(int& current);
  // Runs one line of the current scene; returns false when the run ends.
  bool run_line(const char* line, int& current);
  void apply_directive(Directive code, int scene);
  void run_text_line(const char* line);
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
  std::int64_t variables_work_at_start_ = 0;
};

}  // namespace plotwright
