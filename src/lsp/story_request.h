// The `plotwright/story` request: one story of an open document's text, told in memory as
// `plotwright --no-stats --seed N [--start=BLOCK]` tells it, with the line that wrote each of
// its lines, for an editor's story preview.
#pragma once

#include <string>

#include "lsp/open_document.h"

namespace plotwright::lsp {

// params: textDocument.uri; seed (optional, 0 to 2^32-1; none: the clock's time); start
// (optional): the block the story begins at, as --start names it. The result's JSON text:
// {text, seed?, lines: [{line} | {builtin}]}, one entry a line of `text` (UTF-8, each LF ends
// a line): `line` the document line that wrote it, counted from 0 (null when nothing did), or
// `builtin` the built-in scene whose own lines wrote it ("No", "start_message", ...). A
// RequestError when the text tells no story or `start` names no block.
std::string story(OpenDocument& document, Cp932Codec& codec, const json& params);

}  // namespace plotwright::lsp
