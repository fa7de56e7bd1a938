// The story engine as the window sees it: load, regenerate, new document, shutdown.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "encoding/cp932_codec.h"
#include "session/opened_scenario.h"
#include "session/story_teller.h"

namespace plotwright::shell {

// What a load gives the window.
struct LoadedScenario {
  std::string text;  // the text to show
  // STATISTICS_NOT_SAVED (an earlier scenario's statistics, saved as this one replaced it)
  // and STATISTICS_REFUSED (this scenario's statistics file) notes.
  std::vector<session::Note> notes;
  bool compiled = true;  // false: `text` is the compiler's messages, not a story
};

// Every text given back is the engine's bytes (Shift-JIS, CR LF); the window converts them
// for display. The window keeps a backend for its whole life and calls it from the user
// interface thread only.
class StoryBackend {
 public:
  virtual ~StoryBackend() = default;
  virtual std::string new_document_text() = 0;
  // Loads the decoded scenario; its path is the file's absolute path, as bytes of the local
  // file-name encoding. Without keep_statistics no statistics file is used.
  virtual LoadedScenario load_scenario(const session::OpenedScenario& scenario) = 0;
  // Another story, or nullopt when there is nothing to regenerate (the view keeps its text).
  [[nodiscard]] virtual std::optional<std::string> regenerate() = 0;
  // Writes what must survive the program run. False, with why in `error`, when that failed.
  [[nodiscard]] virtual bool shutdown(std::string* error) = 0;
};

// The real engine: the session's story teller, one run for the program's life.
class DocumentBackend final : public StoryBackend {
 public:
  DocumentBackend(Cp932Codec& codec, session::TellerSetup setup)
      : teller_(codec, std::move(setup)) {}

  std::string new_document_text() override;
  LoadedScenario load_scenario(const session::OpenedScenario& scenario) override;
  [[nodiscard]] std::optional<std::string> regenerate() override;
  [[nodiscard]] bool shutdown(std::string* error) override;

 private:
  session::StoryTeller teller_;
};

}  // namespace plotwright::shell
