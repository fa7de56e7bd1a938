// Renaming a block and every choice and jump that names it, refusing a name that is taken or
// that would not read back as the same name everywhere it is written.
#pragma once

#include <string>
#include <string_view>

#include "lsp/open_document.h"

namespace plotwright::lsp {

// Why `name` (UTF-8) cannot become the name of block `block`, or "" when it can (see
// block_name_refusal; a name must also convert to Shift-JIS); `engine` gets its engine bytes.
std::string name_refusal(Cp932Codec& codec, const ScenarioModel& model, int block,
                         std::string_view name, std::string& engine);

// textDocument/prepareRename and textDocument/rename.
json prepare_rename(OpenDocument& document, const json& params);
json rename(OpenDocument& document, Cp932Codec& codec, const json& params);

}  // namespace plotwright::lsp
