// The lines of a story traced back to the scenario lines that wrote them.
#include "authoring/story_sources.h"

#include <algorithm>
#include <functional>

namespace plotwright {

namespace {

// Where each story line begins in the engine's text.
std::vector<int> story_line_starts(std::string_view story) {
  std::vector<int> starts{0};
  for (std::size_t i = 0; i < story.size(); ++i) {
    if (story[i] == '\n' && i + 1 < story.size()) starts.push_back(static_cast<int>(i + 1));
  }
  return starts;
}

// The file line of line `index` of `scene`'s lines: its lines point into the source store's
// line list, except a built-in scene's own body, which is the engine's.
StoryLineSource source_of(const Engine& engine, int scene, int index) {
  StoryLineSource source{0, scene, true};
  const Record* list = engine.scenario().scenes.list(scene);
  if (!list || !list->lines.present() || index < 0 || index >= list->lines.count) return source;
  const std::vector<const char*>& stored = engine.store().lines();
  const char* const* item = list->lines.items + index;
  const std::less<const char* const*> before;
  if (before(item, stored.data()) || !before(item, stored.data() + engine.store().size())) {
    return source;
  }
  source.line = engine.store().first_physical_line(static_cast<int>(item - stored.data()));
  source.builtin = false;
  return source;
}

}  // namespace

std::vector<StoryLineSource> StorySourceRecorder::lines(const Engine& engine,
                                                        std::string_view engine_story) const {
  std::vector<StoryLineSource> sources;
  auto next = written_.begin();
  const Written* last = nullptr;
  for (const int start : story_line_starts(engine_story)) {
    // The last flush that began at or before the line: a flush ends at most one line, so the
    // one that began a line is the last to begin at its start (earlier ones wrote nothing).
    while (next != written_.end() && next->offset <= start) last = &*next++;
    sources.push_back(last ? source_of(engine, last->scene, last->line) : StoryLineSource{});
  }
  return sources;
}

void ObserverPair::scene_entered(int scene, SceneEntry how) {
  first_.scene_entered(scene, how);
  second_.scene_entered(scene, how);
}

void ObserverPair::scene_selected(int scene, const std::vector<CandidateReport>& candidates,
                                  int chosen) {
  first_.scene_selected(scene, candidates, chosen);
  second_.scene_selected(scene, candidates, chosen);
}

void ObserverPair::directive_applied(int scene, Directive kind, int target) {
  first_.directive_applied(scene, kind, target);
  second_.directive_applied(scene, kind, target);
}

void ObserverPair::jump_line(int scene, const JumpReport& report) {
  first_.jump_line(scene, report);
  second_.jump_line(scene, report);
}

void ObserverPair::text_written(int scene, int line, int story_offset) {
  first_.text_written(scene, line, story_offset);
  second_.text_written(scene, line, story_offset);
}

void ObserverPair::story_ended(RunEnd end) {
  first_.story_ended(end);
  second_.story_ended(end);
}

}  // namespace plotwright
