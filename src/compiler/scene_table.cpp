// The built-in scenes, the scene-name lookup and the building of scenes 1 to 12.
#include "compiler/scene_table.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "base/limits.h"
#include "compiler/japanese_names.h"
#include "compiler/statements.h"
#include "language/char_classes.h"

namespace plotwright {

namespace {

const char* const kStartMessageBody[] = {kOpeningBanner, "/"};
const char* const kChapterNumberBody[] = {"[%No++]", "/", "~~[%No].", "/"};
const char* const kParagraphBody[] = {"#"};
const char* const kDummyBody[] = {kDummyBodyLine};
const char* const kLastMessageBody[] = {"/", kClosingBanner};

using R = LookupRule;

bool same(const char* a, const char* b) {
  return std::strcmp(a, b) == 0;
}

}  // namespace

const BuiltinScene kBuiltinScenes[13] = {
    {kNameFirstGeneration, kNameFirstGeneration, R::NEVER, "wadai1", nullptr, 0,
     kNameGenerationEntry},
    {kNameStartMessage, "start_message", R::NEVER, nullptr, kStartMessageBody, 2,
     kNameGenerationEntry},
    {kNameChapterNumber, "No", R::AFTER_USER_SCENES, nullptr, kChapterNumberBody, 4, nullptr},
    {kNameParagraph, "paragraph", R::AFTER_USER_SCENES, nullptr, kParagraphBody, 1, nullptr},
    {kNameDummy, "dummy", R::AFTER_USER_SCENES, nullptr, kDummyBody, 1, nullptr},
    {kNameLastMessage, "last_message", R::NEVER, nullptr, kLastMessageBody, 2, kNameEnd},
    {kNameEnd, kNameEnd, R::NEVER, "wadai2", nullptr, 0, nullptr},
    {kNameInterruption, kNameInterruption, R::NEVER, nullptr, nullptr, 0, nullptr},
    {kNameGameEnd, kNameGameEnd, R::NEVER, nullptr, nullptr, 0, kNameEnd},
    {kNameUnitEnd, kNameUnitEnd, R::NEVER, nullptr, nullptr, 0, nullptr},
    {kNameEndDummy, kNameEndDummy, R::NEVER, nullptr, nullptr, 0, nullptr},
    {kNameNewGeneration, kNameNewGeneration, R::NEVER, nullptr, nullptr, 0, kNameEnd},
    {kNameRandomGeneration, "Novel_generation", R::BEFORE_USER_SCENES, nullptr, nullptr, 0,
     nullptr},
};

std::int32_t builtin_scene_named(std::string_view name) {
  for (const bool alias : {false, true}) {
    for (int scene = 1; scene <= kSpecialScenes; ++scene) {
      const BuiltinScene& builtin = kBuiltinScenes[scene - 1];
      if (name == (alias ? builtin.alias : builtin.name)) return scene;
    }
  }
  return 0;
}

int SceneTable::begin_list() {
  starts.push_back(static_cast<std::int32_t>(records.size()));
  return scene_count();
}

void SceneTable::seed_special_names() {
  names.assign(1, nullptr);
  for (const BuiltinScene& builtin : kBuiltinScenes) names.push_back(builtin.name);
}

void SceneTable::build_name_index() {
  name_index.clear();
  const int last = name_count() < kLookupWindow ? name_count() : kLookupWindow;
  if (last > kSpecialScenes) name_index.reserve(last - kSpecialScenes);
  for (int n = kSpecialScenes + 1; n <= last; ++n) name_index.emplace(names[n], n);
}

std::int32_t find_name(const char* name, const char* const* list, int count) {
  for (int i = 0; i < count && i < kLookupWindow && list[i]; ++i) {
    if (same(list[i], name)) return i + 1;
  }
  return 0;
}

namespace {

bool names_builtin(const char* name, int scene) {
  const BuiltinScene& builtin = kBuiltinScenes[scene - 1];
  return same(name, builtin.name) || same(name, builtin.alias);
}

}  // namespace

std::int32_t find_name(const char* name, const SceneTable& table) {
  if (!name) return 0;
  // First pass: the title list's names stand before every named block.
  if (table.name_count() >= kSceneTitleList && names_builtin(name, kSceneTitleList)) {
    return kSceneTitleList;
  }
  const auto found = table.name_index.find(std::string_view(name));
  if (found != table.name_index.end()) return found->second;
  // Second pass: built-in scenes that give way to named blocks.
  for (int n = 1; n <= kSpecialScenes && n <= table.name_count(); ++n) {
    if (kBuiltinScenes[n - 1].rule == LookupRule::AFTER_USER_SCENES && names_builtin(name, n)) {
      return n;
    }
  }
  return 0;
}

std::int32_t resolve_scene_ref(const char* text, const SceneTable& table) {
  if (is_six_digits(text)) {
    std::int32_t number = 0;
    for (int i = 1; i < 6; ++i) number = number * 10 + (text[i] - '0');
    return number;
  }
  return find_name(text, table);
}

namespace {

// The scene's body: a block named by its special name, else by its alias, else the default.
LineList builtin_body(int scene, const std::vector<const char*>& block_names,
                      const std::vector<SceneBlock>& blocks, DiagnosticSink& diagnostics) {
  const BuiltinScene& builtin = kBuiltinScenes[scene - 1];
  const int count = static_cast<int>(block_names.size());
  int position = find_name(builtin.name, block_names.data(), count);
  diagnostics.write(std::string(builtin.name) + "," + std::to_string(position) + "\n");
  if (!position) position = find_name(builtin.alias, block_names.data(), count);
  if (position) return blocks[position - 1].body;
  return LineList{builtin.default_body, builtin.default_count};
}

std::int32_t builtin_target(int scene, const SceneTable& table) {
  const char* target = kBuiltinScenes[scene - 1].target_name;
  if (!target) return 0;
  std::int32_t found = builtin_scene_named(target);
  if (!found) found = find_name(target, table);
  if (found || !same(target, kNameGenerationEntry)) return found;
  found = find_name("Vell_novels", table);
  if (found) return found;
  return scene == kSceneFirst ? kSceneStartMessage : kSceneTitleList;
}

}  // namespace

void build_builtin_scenes(const std::vector<SceneBlock>& blocks, SceneTable& table,
                          DiagnosticSink& diagnostics) {
  std::vector<const char*> block_names;
  block_names.reserve(blocks.size() + 1);
  for (const SceneBlock& block : blocks) block_names.push_back(block.name);
  block_names.push_back(nullptr);
  for (int scene = 1; scene <= 12; ++scene) {
    Record record;
    record.label = kBuiltinScenes[scene - 1].label;
    if (scene >= kSceneStartMessage && scene <= kSceneClosing) {
      record.lines = builtin_body(scene, block_names, blocks, diagnostics);
    }
    record.target = builtin_target(scene, table);
    table.begin_list();
    table.records.push_back(record);
    table.end_list();
  }
}

}  // namespace plotwright
