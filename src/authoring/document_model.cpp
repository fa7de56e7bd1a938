// The document's stored lines and compiled scenario, seen as the author tools see them.
#include "authoring/document_model.h"

#include "controller/engine.h"

namespace plotwright {

ScenarioModel document_model(const Document& document) {
  return build_model(document.engine().store(), document.engine().scenario());
}

}  // namespace plotwright
