// The words the author tools show for scenes, directives and runs.
#include "authoring/scene_names.h"

#include "base/limits.h"

namespace plotwright {

namespace {

// The built-in scenes by number. Scene 13 chooses among the titles at the start of a story.
constexpr const char* kBuiltinWords[kSpecialScenes] = {"first generation",
                                                       "start_message",
                                                       "No",
                                                       "paragraph",
                                                       "dummy",
                                                       "last_message",
                                                       "end",
                                                       "interruption",
                                                       "game end",
                                                       "unit end",
                                                       "end dummy",
                                                       "new generation",
                                                       "title list"};

}  // namespace

const char* builtin_scene_word(int scene) {
  return scene >= 1 && scene <= kSpecialScenes ? kBuiltinWords[scene - 1] : "";
}

SceneNames::SceneNames(const ScenarioModel& model, Cp932Codec& codec)
    : model_(model), codec_(codec) {
  names_.resize(static_cast<std::size_t>(model.scene_count) + 1);
  for (int scene = 1; scene <= model.scene_count && scene <= kSpecialScenes; ++scene) {
    names_[scene] = builtin_scene_word(scene);
  }
  for (const ModelBlock& block : model.blocks) {
    block_names_.push_back(block.name.empty() ? "(no name)"
                                              : codec.engine_text_to_utf8(block.name));
    if (block.scene != 0) names_[block.scene] = block_names_.back();
  }
}

std::string SceneNames::name(int scene) const {
  if (scene >= 1 && static_cast<std::size_t>(scene) < names_.size()) return names_[scene];
  return "scene " + std::to_string(scene);
}

bool SceneNames::draws(int scene) const {
  if (scene == kSceneTitleList) return true;
  if (scene <= kSpecialScenes || scene > model_.scene_count) return false;
  const int block = model_.block_of_scene[scene];
  return block >= 0 && model_.blocks[block].kind == BlockKind::SELECT;
}

const char* directive_word(Directive kind) {
  switch (kind) {
    case Directive::JUMP:
      return "jump";
    case Directive::DISABLE:
      return "disable";
    case Directive::ENABLE:
      return "enable";
    case Directive::PRIORITY_SET:
      return "priority";
    case Directive::PRIORITY_UP:
      return "priority up";
    case Directive::PRIORITY_DOWN:
      return "priority down";
    case Directive::PRIORITY_CLEAR:
      return "priority clear";
  }
  return "";
}

const char* entry_word(SceneEntry how) {
  switch (how) {
    case SceneEntry::START:
      return "start";
    case SceneEntry::SELECTED:
      return "next";
    case SceneEntry::JUMPED:
      return "jump";
    case SceneEntry::RETURNED:
      return "return";
    case SceneEntry::CLOSING:
      return "closing";
  }
  return "";
}

const char* run_end_word(RunEnd end) {
  switch (end) {
    case RunEnd::END_SCENE:
      return "end";
    case RunEnd::LINE_LIMIT:
      return "line limit";
    case RunEnd::SCENE_CHANGE_LIMIT:
      return "scene-change limit";
    case RunEnd::WORK_LIMIT:
      return "work limit";
    case RunEnd::NO_SCENES:
      return "no scenes";
  }
  return "";
}

}  // namespace plotwright
