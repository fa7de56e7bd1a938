// Telling many stories of one scenario and counting what they reach: the loop that the command
// line's coverage and graph, the language server's coverage request and the web package share.
#pragma once

#include <functional>

#include "analysis/scenario_model.h"
#include "authoring/coverage.h"
#include "encoding/cp932_codec.h"
#include "session/story_teller.h"

namespace plotwright {

struct CoverageRun {
  ScenarioModel model;  // of the scenario the stories came from
  CoverageRecorder recorder;
};

// What a coverage run needs of its front end.
struct CoverageStories {
  int runs = 1;  // stories in all, the load's own included
  // Loads the scenario into the teller and returns the load's story.
  std::function<session::Story(session::StoryTeller&)> load;
  // Called before each later story with the number told so far; may be empty.
  std::function<void(int told)> progress;
};

// Tells the load's story and runs - 1 regenerations through `teller`, whose observer must be
// run.recorder, counts each story's text, and takes the model from the teller's document.
// Returns the load's story when it was not generated (its `engine` holds the scenario's
// messages, valid until the next call on the teller; nothing more is told and run.model stays
// empty); otherwise a generated story with no bytes.
session::Story tell_counted_stories(session::StoryTeller& teller, Cp932Codec& codec,
                                    const CoverageStories& stories, CoverageRun& run);

}  // namespace plotwright
