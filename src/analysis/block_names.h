// What makes a good name for a block: one that reads back as the same block everywhere a choice
// or a jump writes it, and that no other block and no built-in scene has.
#pragma once

#include <string>
#include <string_view>

#include "analysis/scenario_model.h"

namespace plotwright {

// Why `engine` (a name's engine bytes) cannot become the name of block `block` of `model`, or ""
// when it can; the reasons quote `shown`, the same name as the author sees it (UTF-8). A name
// must not begin or end with a blank, begin with a statement keyword (a choice line naming it
// would be a statement), with a jump prefix (! # & *) or with six digits (a scene number), must
// hold no control character and none of { } [ ] ( ) < > ; | \ (the syntax around names in
// choices and jumps), and must be no other block's name nor a built-in scene's.
std::string block_name_refusal(const ScenarioModel& model, int block, std::string_view shown,
                               const std::string& engine);

}  // namespace plotwright
