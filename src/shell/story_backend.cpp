// The real engine behind the window: forwards to the document controller.
#include "shell/story_backend.h"

namespace plotwright::shell {

std::string DocumentBackend::new_document_text() {
  return std::string(Document::new_document_text());
}

std::string DocumentBackend::load_scenario(LineSource& source, std::string_view path) {
  return std::string(document_.load_scenario(source, path).text);
}

std::optional<std::string> DocumentBackend::regenerate() {
  const std::optional<std::string_view> text = document_.regenerate();
  if (!text) return std::nullopt;
  return std::string(*text);
}

std::string DocumentBackend::shutdown() {
  return document_.shutdown().error;
}

}  // namespace plotwright::shell
