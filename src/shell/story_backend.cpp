// The real engine behind the window: forwards to the document controller.
#include "shell/story_backend.h"

namespace plotwright::shell {

std::string DocumentBackend::new_document_text() {
  return std::string(Document::new_document_text());
}

LoadedScenario DocumentBackend::load_scenario(LineSource& source, std::string_view path,
                                              bool keep_statistics) {
  LoadOutcome outcome = document_.load_scenario(source, path, keep_statistics);
  return {std::string(outcome.text), std::move(outcome.statistics_error),
          std::move(outcome.statistics_warning)};
}

std::optional<std::string> DocumentBackend::regenerate() {
  const std::optional<std::string_view> text = document_.regenerate();
  if (!text) return std::nullopt;
  return std::string(*text);
}

std::string DocumentBackend::shutdown() {
  std::string error;
  document_.shutdown(&error);
  return error;
}

}  // namespace plotwright::shell
