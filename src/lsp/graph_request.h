// The `plotwright/graph` request: the scene graph of an open document's text as DOT, drawn by
// the same code as `plotwright graph`, for an editor's graph view.
#pragma once

#include <string>

#include "lsp/open_document.h"

namespace plotwright::lsp {

// params: textDocument.uri; coverage (optional): {count?, seed?} as the coverage request takes
// them, to fill each node by the share of those stories that reached it.
// The result's JSON text: {dot, stories?, coverageError?}. In `dot` each node of a block
// carries its block's line as class="line-N" (N counted from 1, as `plotwright graph` counts),
// which Graphviz's SVG keeps on the node's group. `stories` is the number told for coverage;
// when the text tells no story, the graph comes without coverage and `coverageError` says why.
std::string graph(OpenDocument& document, Cp932Codec& codec, const json& params);

// The last segment of `uri`'s path with its %XX escapes decoded (but control characters): the name
// the graph is titled with ("untitled:Untitled-1" gives "Untitled-1").
std::string file_name_of(const std::string& uri);

}  // namespace plotwright::lsp
