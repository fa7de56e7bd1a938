// The record lists of the title list (scene 13) and of every named block: scene blocks keep
// their body as lines, select blocks become choices, each a destination scene and an optional
// condition. Destinations that name no scene are reported into the story buffer.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/scene_table.h"
#include "compiler/statements.h"
#include "output/output_buffers.h"

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

// Makes the lists of the named blocks from scene 14 on. Returns the number of destinations
// reported as not found.
int build_scene_lists(const std::vector<SceneBlock>& blocks, int block_count, SceneTable& table,
                      ConditionTexts& conditions, OutputBuffers& output,
                      std::int32_t& choice_points);

void report_missing_destination(OutputBuffers& output, const char* block_name,
                                const char* destination);

}  // namespace plotwright
