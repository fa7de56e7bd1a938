// The compiled scenario as the generator sees it: the scene-name table and the scene table
// (each scene's record list), the thirteen built-in scenes, and the name lookup that turns a
// scene name or a six-digit number into a scene number.
#pragma once

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/diagnostics.h"

namespace plotwright {

struct SceneBlock;

// An ordered list of line references; absent when `items` is null.
struct LineList {
  const char* const* items = nullptr;
  std::int32_t count = 0;
  bool present() const { return items != nullptr; }
};

// One record of a record list. A list ends with a record whose words are all zero.
struct Record {
  const char* label = nullptr;   // "wadai1" / "wadai2" on built-in scenes 1 and 7
  LineList lines;                // the scene's text lines (first record only)
  LineList condition;            // one line: a choice's condition text
  std::int32_t target = 0;       // the scene the record leads to; 0 for none
  std::int32_t line_cursor = 0;  // the scene's next line (first record only)

  bool is_end() const {
    return !label && !lines.present() && !condition.present() && target == 0 && line_cursor == 0;
  }
};

// Both tables, indexed by scene number from 1; scene n's record list is contiguous in
// `records`, ended by its end record. Lists are added in scene order.
struct SceneTable {
  std::vector<const char*> names{nullptr};  // [n]: name of scene n ([0] unused)
  std::vector<Record> records;
  std::vector<std::int32_t> starts{0};  // [n]: index of scene n's first record

  int name_count() const { return static_cast<int>(names.size()) - 1; }
  int scene_count() const { return static_cast<int>(starts.size()) - 1; }
  Record* list(int scene) {
    return scene >= 1 && scene <= scene_count() ? &records[starts[scene]] : nullptr;
  }
  const Record* list(int scene) const {
    return scene >= 1 && scene <= scene_count() ? &records[starts[scene]] : nullptr;
  }

  // Starts scene_count() + 1's list; append its records, then close it with end_list().
  int begin_list();
  void end_list() { records.push_back(Record{}); }

  // Seeds the names with the thirteen special scene names.
  void seed_special_names();
  // Indexes the named blocks within the lookup window; call after the names are complete.
  void build_name_index();

  // First position of each name among entries 14 .. kLookupWindow.
  std::unordered_map<std::string_view, std::int32_t> name_index;
};

enum class LookupRule { NEVER, AFTER_USER_SCENES, BEFORE_USER_SCENES };

struct BuiltinScene {
  const char* name;  // the special scene name
  const char* alias;
  LookupRule rule;
  const char* label;
  const char* const* default_body;  // null: no body
  int default_count;
  const char* target_name;  // null: no successor
};

// Scenes 1 to 13, index 0 = scene 1: the one table of the built-in scenes' names and aliases.
extern const BuiltinScene kBuiltinScenes[13];

// The built-in scene whose special name is `name`, else the one whose alias it is; 0 for none.
std::int32_t builtin_scene_named(std::string_view name);

inline constexpr const char* kOpeningBanner =
    "----------------------~Plotwright~English~Version~-----------------------";
inline constexpr const char* kClosingBanner =
    "--------~Plotwright~English~Version~Ver1.00~---------";

// Plain lookup over a list: the 1-based position of the first entry equal to `name` among the
// first 10000 (a null entry ends the list), or 0.
std::int32_t find_name(const char* name, const char* const* list, int count);
// Lookup in the scene-name table, with the rules of the built-in scenes: "Novel_generation"
// first, then the named blocks within the lookup window, then "No", "paragraph", "dummy".
std::int32_t find_name(const char* name, const SceneTable& table);
// A six-digit number (the first digit has no weight), or else the name lookup.
std::int32_t resolve_scene_ref(const char* text, const SceneTable& table);

// Makes the record lists of scenes 1 to 12. Writes a trace line "name,position\n" to the
// diagnostics for each of scenes 2 to 6.
void build_builtin_scenes(const std::vector<SceneBlock>& blocks, SceneTable& table,
                          DiagnosticSink& diagnostics);

}  // namespace plotwright
