// The story engine as the window sees it: load, regenerate, new document, shutdown.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "compiler/line_source.h"
#include "controller/document.h"

namespace plotwright::shell {

// What a load gives the window.
struct LoadedScenario {
  std::string text;  // the text to show
  // Non-empty when the usage statistics of an earlier scenario, written as this one replaced
  // it, could not be saved: why.
  std::string statistics_error;
  // Non-empty when this scenario's statistics file was refused or ignored: why.
  std::string statistics_warning;
};

// Every text given back is the engine's bytes (Shift-JIS, CR LF); the window converts them
// for display. The window keeps a backend for its whole life and calls it from the user
// interface thread only.
class StoryBackend {
 public:
  virtual ~StoryBackend() = default;
  virtual std::string new_document_text() = 0;
  // Loads the scenario read from `source`; `path` is the file's absolute path, as bytes of
  // the local file-name encoding. With `keep_statistics` false no statistics file is used.
  virtual LoadedScenario load_scenario(LineSource& source, std::string_view path,
                                       bool keep_statistics) = 0;
  // Another story, or nullopt when there is nothing to regenerate (the view keeps its text).
  virtual std::optional<std::string> regenerate() = 0;
  // Writes what must survive the program run. Empty on success, otherwise why it failed.
  virtual std::string shutdown() = 0;
};

// The real engine: one document controller.
class DocumentBackend final : public StoryBackend {
 public:
  explicit DocumentBackend(DocumentServices services = {}) : document_(services) {}

  std::string new_document_text() override;
  LoadedScenario load_scenario(LineSource& source, std::string_view path,
                               bool keep_statistics) override;
  std::optional<std::string> regenerate() override;
  std::string shutdown() override;

 private:
  Document document_;
};

}  // namespace plotwright::shell
