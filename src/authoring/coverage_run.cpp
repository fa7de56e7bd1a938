// The stories of a coverage run, each counted as it is told.
#include "authoring/coverage_run.h"

#include "authoring/document_model.h"

namespace plotwright {

session::Story tell_counted_stories(session::StoryTeller& teller, Cp932Codec& codec,
                                    const CoverageStories& stories, CoverageRun& run) {
  run.recorder.begin_story();
  const session::Story first = stories.load(teller);
  if (!first.generated) return first;
  run.recorder.add_story_text(codec.engine_text_to_utf8(first.engine));
  for (int told = 1; told < stories.runs; ++told) {
    if (stories.progress) stories.progress(told);
    run.recorder.begin_story();
    const std::optional<session::Story> story = teller.regenerate();
    if (!story) break;  // a load that told a story keeps its run going; this is only a guard
    run.recorder.add_story_text(codec.engine_text_to_utf8(story->engine));
  }
  run.model = document_model(*teller.document());
  return session::Story{true, {}};
}

}  // namespace plotwright
