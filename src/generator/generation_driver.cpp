// The main loop of a run: find the next line, check it, jump or interpret it.
#include "generator/generation_driver.h"

#include "base/limits.h"
#include "generator/alternatives.h"
#include "generator/candidate_selection.h"
#include "generator/jump_directives.h"

namespace plotwright {

void GenerationDriver::reset_run() {
  output_.reset();
  history_.reset();
  variables_.clear();
  spent_ = 0;
  variables_work_at_start_ = variables_.work();
  const int last = scenes_.scene_count() < kResetWindow ? scenes_.scene_count() : kResetWindow;
  for (int scene = 1; scene <= last; ++scene) {
    scenes_.list(scene)->line_cursor = 0;
    run_state_.set_disabled(scene, 0);
    run_state_.set_priority(scene, 0);
  }
}

void GenerationDriver::generate_story(const char* start_name) {
  const int found = find_name(start_name, scenes_);
  generate_story_from(found != 0 ? found : kSceneFirst);
}

void GenerationDriver::generate_story_from(int start) {
  run_state_.resize(scenes_.scene_count());
  reset_run();
  last_end_ = RunEnd::NO_SCENES;
  if (scenes_.scene_count() >= kSceneFirst) run_from(start);
  if (observer_) observer_->story_ended(last_end_);
}

void GenerationDriver::run_from(int current) {
  if (observer_) observer_->scene_entered(current, SceneEntry::START);
  last_end_ = RunEnd::LINE_LIMIT;
  for (int iteration = 0; iteration < kRunLineLimit; ++iteration) {
    const char* line = next_line(current);
    if (!line) return;
    if (observer_) begin_line_source(current);
    const bool going_on = run_line(line, current);
    if (observer_) end_line_source();
    if (!going_on) {
      last_end_ = RunEnd::END_SCENE;
      return;
    }
    if (out_of_work()) {
      last_end_ = RunEnd::WORK_LIMIT;
      return;
    }
  }
  last_end_ = RunEnd::LINE_LIMIT;
}

std::int64_t GenerationDriver::step_cost(int scene) {
  if (step_costs_.size() <= static_cast<std::size_t>(scene)) {
    step_costs_.resize(static_cast<std::size_t>(scenes_.scene_count()) + 1, 0);
  }
  std::int64_t& cost = step_costs_[static_cast<std::size_t>(scene)];
  if (cost == 0) {
    const Record* list = scenes_.list(scene);
    cost = kStepWork;
    for (int i = 0; i < kMaxCandidates; ++i) {
      cost += kStepWork;
      if (list[i].is_end()) break;
      if (list[i].condition.present()) cost += bounded_length(list[i].condition.items[0]);
    }
  }
  return cost;
}

const char* GenerationDriver::next_line(int& current) {
  Record* list = scenes_.list(current);
  for (int step = 0; step < kStepLimit; ++step) {
    if (list->lines.present() && list->line_cursor < list->lines.count) {
      return list->lines.items[list->line_cursor++];
    }
    list->line_cursor = 0;
    run_state_.add_use(current);
    spent_ += step_cost(current);
    if (out_of_work()) {
      last_end_ = RunEnd::WORK_LIMIT;
      return nullptr;
    }
    current = next_scene(current, list);
    if (current == 0) {
      last_end_ = RunEnd::END_SCENE;
      return nullptr;
    }
    list = scenes_.list(current);
  }
  // A cycle of scenes without lines: the run ends with the story so far.
  last_end_ = RunEnd::SCENE_CHANGE_LIMIT;
  return nullptr;
}

int GenerationDriver::next_scene(int current, Record* list) {
  std::vector<CandidateReport>* report = observer_ ? &candidates_ : nullptr;
  int next = select_next_scene(list, run_state_, variables_, random_, report);
  if (observer_) observer_->scene_selected(current, candidates_, next);
  if (next == kSceneEnd) return 0;
  SceneEntry how = SceneEntry::SELECTED;
  if (next == 0) {
    how = history_.history_pop(next) ? SceneEntry::RETURNED : SceneEntry::CLOSING;
    if (next == 0) next = kSceneClosing;
  }
  if (observer_) observer_->scene_entered(next, how);
  return next;
}

bool GenerationDriver::run_line(const char* line, int& current) {
  // A simple line is never a directive and always balanced: only its expansion is left.
  if (LineTemplate* compiled = compiled_lines_ ? templates_.find(line) : nullptr) {
    const int length = compiled->expand(expansion_.data(), random_);
    interpreter_.interpret_plain_line(expansion_.data(), length, compiled->plain());
    return true;
  }
  // The checks and the expansion work on at most 4095 bytes: a longer line is cut.
  if (bounded_length(line) > kTextMaxLength) {
    copy_text(bounded_.data(), line, kTextMaxLength);
    line = bounded_.data();
  }
  classify_text(line, classes_.data());
  if (!check_brackets(line, classes_.data(), output_)) return true;
  Directive code = Directive::JUMP;
  JumpReport* report = observer_ ? &jump_report_ : nullptr;
  const int scene =
      parse_jump_directive(line, classes_.data(), code, scenes_, variables_, output_, report);
  if (report && !report->alternatives.empty()) report_jump_line(current, code);
  if (code != Directive::JUMP) {
    if (scene > 0) apply_directive(code, scene);
    if (scene > 0 && observer_) observer_->directive_applied(current, code, scene);
    return true;
  }
  if (scene == 0) {
    run_text_line(line);
  } else if (scene == kSceneEnd) {
    return false;
  } else if (scene > 0 && scene <= scenes_.scene_count() && !run_state_.disabled(scene)) {
    // A jump works like a call: the history brings the run back after this line.
    history_.history_push(current);
    current = scene;
    if (observer_) observer_->scene_entered(current, SceneEntry::JUMPED);
  }
  return true;
}

void GenerationDriver::report_jump_line(int current, Directive code) {
  const int scene = jump_report_.scene;
  jump_report_.disabled = code == Directive::JUMP && scene > 0 && scene <= scenes_.scene_count() &&
                          run_state_.disabled(scene);
  observer_->jump_line(current, jump_report_);
}

void GenerationDriver::apply_directive(Directive code, int scene) {
  switch (code) {
    case Directive::DISABLE:
      run_state_.set_disabled(scene, 1);
      break;
    case Directive::ENABLE:
      run_state_.set_disabled(scene, 0);
      break;
    case Directive::PRIORITY_SET:
      run_state_.set_priority(scene, 1);
      break;
    case Directive::PRIORITY_UP:
      run_state_.set_priority(scene, run_state_.priority(scene) + 1);
      break;
    case Directive::PRIORITY_DOWN:
      if (run_state_.priority(scene) > 0) {
        run_state_.set_priority(scene, run_state_.priority(scene) - 1);
      }
      break;
    case Directive::PRIORITY_CLEAR:
      run_state_.set_priority(scene, 0);
      break;
    case Directive::JUMP:
      break;
  }
}

void GenerationDriver::begin_line_source(int scene) {
  line_scene_ = scene;
  line_index_ = scenes_.list(scene)->line_cursor - 1;  // next_line() moved past it
  carried_ = !output_.pending().empty();
}

void GenerationDriver::end_line_source() {
  if (carried_ || output_.pending().empty()) return;
  pending_scene_ = line_scene_;
  pending_index_ = line_index_;
}

void GenerationDriver::flushing(int story_length) {
  if (carried_) {
    observer_->text_written(pending_scene_, pending_index_, story_length);
  } else {
    observer_->text_written(line_scene_, line_index_, story_length);
  }
  carried_ = false;
}

// `classes_` fit `line` on entry; every rewrite of the text is followed by its classes.
void GenerationDriver::run_text_line(const char* line) {
  const int length = copy_text(work_.data(), line, kTextMaxLength);
  spent_ += static_cast<std::int64_t>(1 + length) * (1 + kMaxGroupPasses);
  if (!expand_alternatives(work_.data(), classes_.data(), expansion_.data(), random_)) {
    classify_text(expansion_.data(), classes_.data());
  }
  expand_groups(expansion_.data(), classes_, random_);
  interpreter_.interpret_line(expansion_.data(), classes_.data());
}

}  // namespace plotwright
