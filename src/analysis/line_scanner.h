// Reading one line of a block as an author wrote it, without running it: the conditions,
// variable operations and groups of a text line, the alternatives of a jump directive, and a
// choice of a select block.
#pragma once

#include <climits>
#include <string>
#include <unordered_map>

#include "analysis/scenario_model.h"

namespace plotwright {

class LineScanner {
 public:
  LineScanner(const SourceStore& store, const SceneTable& scenes, ScenarioModel& model)
      : store_(store), map_(store), scenes_(scenes), model_(model) {}

  // A body line of a scene or message block: a directive, a literal, a paragraph mark or text.
  void scan_text_line(int line, int block);
  // A body line of a select block.
  void scan_choice(int line, int block, int target);

 private:
  void scan_directive(int line, int block, const char* text, const CharClass* classes);
  int scan_condition(int line, int block, const char* text, const CharClass* classes, int p);
  int scan_bracket_operation(int line, int block, const char* text, const CharClass* classes,
                             int p);
  void add_use(int line, int block, const char* name, int begin, VariableAccess access,
               bool compared = false);
  // What the current line may still add (see kLineItemsKept).
  void allow_items(int count) { conditions_left_ = uses_left_ = groups_left_ = count; }

  const SourceStore& store_;
  SourceMap map_;
  const SceneTable& scenes_;
  ScenarioModel& model_;
  int conditions_left_ = INT_MAX;
  int uses_left_ = INT_MAX;
  int groups_left_ = INT_MAX;
  // By name, the kinds of use met so far (kSetting, kReading, kAsText, kAsNumber in
  // line_scanner.cpp).
  std::unordered_map<std::string, unsigned> kinds_met_;
};

}  // namespace plotwright
