// The document controller (placeholder until the engine lands).
#include "controller/document.h"

namespace plotwright {

class Engine {};

Document::Document(DocumentServices) : engine_(std::make_unique<Engine>()) {}
Document::~Document() = default;
std::string_view Document::new_document_text() {
  return "Vell language scenario file is required";
}
LoadOutcome Document::load_scenario(LineSource&, std::string_view) { return {}; }
std::optional<std::string_view> Document::regenerate() { return std::nullopt; }
ShutdownOutcome Document::shutdown() { return {}; }
bool Document::scenario_loaded() const { return false; }
bool Document::statistics_active() const { return false; }
std::string Document::statistics_path() const { return {}; }
Engine& Document::engine() { return *engine_; }

}  // namespace plotwright
