// The record lists of the title list (scene 13) and of every named block: scene blocks keep
// their body as lines, select blocks become choices, each a destination scene and an optional
// condition. Destinations that name no scene are the compile's errors.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/scene_table.h"
#include "compiler/statements.h"

namespace plotwright {

// Owns the condition texts of the choices; the line lists handed out stay valid while it lives.
class ConditionTexts {
 public:
  LineList add(std::string_view text);
  void clear() {
    refs_.clear();
    texts_.clear();
  }

 private:
  std::deque<std::string> texts_;
  std::deque<const char*> refs_;
};

// Makes scene 13: one record per title block, or the "No title statement" lines when there is
// none. Raises `choice_points` when there is more than one title.
void build_title_list(const std::vector<SceneBlock>& blocks, SceneTable& table,
                      std::int32_t& choice_points);

// A choice whose destination names no scene: the one fault the compile reports.
struct CompileError {
  const char* block_name = nullptr;   // the select block's name, into the source store
  const char* destination = nullptr;  // as written; empty when the choice has none
  int line = 0;                       // the choice's logical line, 0-based, in the store
};

// The error's message as the story shows it (without its line end): 'Scene "DEST" not found
// in select statement "BLOCK"', or 'Destination not foud in select statement "BLOCK"' for a
// choice without one. Each name is shown as far as a working text holds it.
std::string describe_compile_error(const CompileError& error);

// Makes the lists of the named blocks from scene 14 on; `lines` are the store's lines, which
// the blocks refer into. Appends each destination that names no scene to `errors`.
void build_scene_lists(const std::vector<SceneBlock>& blocks, int block_count,
                       const std::vector<const char*>& lines, SceneTable& table,
                       ConditionTexts& conditions, std::vector<CompileError>& errors,
                       std::int32_t& choice_points);

}  // namespace plotwright
