// The outline of a scenario (textDocument/documentSymbol): its blocks with their lines, each
// select block's choices and each scene's paragraphs beneath it.
#pragma once

#include "lsp/open_document.h"

namespace plotwright::lsp {

// The symbols as JSON text: a DocumentSymbol for each block, its choices or paragraphs inside.
std::string document_symbols(OpenDocument& document);

}  // namespace plotwright::lsp
