// The scenario model of what a document loaded, for the front ends' author tools.
#pragma once

#include "analysis/scenario_model.h"
#include "controller/document.h"

namespace plotwright {

// The model of the scenario that `document` compiled last (an empty model before any load).
ScenarioModel document_model(const Document& document);

}  // namespace plotwright
