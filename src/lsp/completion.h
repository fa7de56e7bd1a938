// Completion (textDocument/completion): block names where a choice or a jump expects a
// destination, variable names after `[`, `%` or `$` and inside a condition's `<`.
#pragma once

#include "lsp/open_document.h"

namespace plotwright::lsp {

json completion(OpenDocument& document, const json& params);

}  // namespace plotwright::lsp
