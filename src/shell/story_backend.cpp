// The real engine behind the window: forwards to the session's story teller.
#include "shell/story_backend.h"

#include <algorithm>

namespace plotwright::shell {

std::string DocumentBackend::new_document_text() {
  return std::string(Document::new_document_text());
}

LoadedScenario DocumentBackend::load_scenario(const session::OpenedScenario& scenario) {
  const session::Story story = teller_.load(scenario);
  LoadedScenario loaded{std::string(story.engine), teller_.take_notes(), story.generated};
  // The window has never told of a limit: the story shows how far it went.
  std::erase_if(loaded.notes, [](const session::Note& note) {
    return note.kind == session::NoteKind::CUT_SHORT;
  });
  return loaded;
}

std::optional<std::string> DocumentBackend::regenerate() {
  const std::optional<session::Story> story = teller_.regenerate();
  (void)teller_.take_notes();  // only the limits' notes: the story shows what it reached
  if (!story) return std::nullopt;
  return std::string(story->engine);
}

bool DocumentBackend::shutdown(std::string* error) {
  return teller_.finish(true, error);
}

}  // namespace plotwright::shell
