// How the author tools name scenes, directives and a run's ways into a scene for people: block
// names in UTF-8, and English words for the built-in scenes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "analysis/scenario_model.h"
#include "encoding/cp932_codec.h"
#include "generator/run_observer.h"

namespace plotwright {

class SceneNames {
 public:
  // Converts every block name of `model` once.
  SceneNames(const ScenarioModel& model, Cp932Codec& codec);

  // A named block's name ("(no name)" for an empty one), a built-in scene's word, or the
  // number of a scene the scenario does not have.
  std::string name(int scene) const;
  // Block `block`'s name ("(no name)" for an empty one).
  const std::string& block_name(int block) const { return block_names_[block]; }
  // Scenario text (a target or a condition's reading) in UTF-8.
  std::string text(std::string_view engine_text) const {
    return codec_.engine_text_to_utf8(engine_text);
  }
  // Whether the scene's successor is a draw worth showing: a select block or the title list.
  bool draws(int scene) const;

 private:
  const ScenarioModel& model_;
  Cp932Codec& codec_;
  std::vector<std::string> block_names_;  // by block
  std::vector<std::string> names_;        // by scene number
};

// "first generation", "start_message", "No", ..., "title list" for scenes 1 to 13.
const char* builtin_scene_word(int scene);
// "jump", "disable", "enable", "priority", "priority up", "priority down", "priority clear".
const char* directive_word(Directive kind);
// "start", "next", "jump", "return", "closing".
const char* entry_word(SceneEntry how);
// "end", "line limit", "scene-change limit", "work limit", "no scenes".
const char* run_end_word(RunEnd end);

}  // namespace plotwright
