// The quick fixes offered for a document's diagnostics: the edit a diagnostic carries (the name
// it most likely meant, a missing '%'), and a new block for a name that finds none.
#pragma once

#include "lsp/open_document.h"

namespace plotwright::lsp {

// textDocument/codeAction: the fixes for the diagnostics that touch `params.range`, each with
// its edit, at most kMaxCodeActions of them.
json code_actions(OpenDocument& document, Cp932Codec& codec, const json& params);

}  // namespace plotwright::lsp
