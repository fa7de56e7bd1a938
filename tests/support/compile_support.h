// Compiles a scenario written in a test and reads back its scene table in plain values.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/diagnostics.h"
#include "compiler/scenario_compiler.h"
#include "compiler/source_reader.h"

namespace plotwright::testing {

// The lines of a list as strings; an absent list gives none.
inline std::vector<std::string> strings_of(const LineList& list) {
  return list.present() ? std::vector<std::string>(list.items, list.items + list.count)
                        : std::vector<std::string>();
}

// One scenario (LF line ends), read and compiled; keeps everything the tables point into.
//   CompiledText c("select Road\nForest\nscene Forest\n");
//   EXPECT_EQ(c.targets(14), (std::vector<int>{15}));
struct CompiledText {
  explicit CompiledText(std::string_view text) {
    MemoryLineSource source(text);
    whole = read_source_lines(source, store);
    errors = compile_scenario(store, scenario, diagnostics);
  }

  // Scene n's records up to its end record.
  std::vector<Record> records(int scene) const {
    std::vector<Record> out;
    for (const Record* r = scenario.scenes.list(scene); r && !r->is_end(); ++r) out.push_back(*r);
    return out;
  }
  std::vector<int> targets(int scene) const {
    std::vector<int> out;
    for (const Record& record : records(scene)) out.push_back(record.target);
    return out;
  }
  // The `lines` of scene n's first record.
  std::vector<std::string> lines(int scene) const {
    const Record* list = scenario.scenes.list(scene);
    return list ? strings_of(list->lines) : std::vector<std::string>();
  }
  // The condition texts of scene n's records, "" where a record has none.
  std::vector<std::string> conditions(int scene) const {
    std::vector<std::string> out;
    for (const Record& record : records(scene)) {
      out.emplace_back(record.condition.present() ? record.condition.items[0] : "");
    }
    return out;
  }
  int find(const char* name) const { return find_name(name, scenario.scenes); }
  // The messages the compile's errors show in the story.
  std::string messages() const {
    std::string text;
    for (const CompileError& error : scenario.errors) {
      text += describe_compile_error(error) + "\r\n";
    }
    return text;
  }

  SourceStore store;
  CompiledScenario scenario;
  CollectingDiagnostics diagnostics;
  bool whole = true;
  int errors = 0;
};

}  // namespace plotwright::testing
