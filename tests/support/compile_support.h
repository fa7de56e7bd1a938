// Compiles a scenario written in a test and reads back its scene table in plain values.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/diagnostics.h"
#include "compiler/scenario_compiler.h"
#include "compiler/source_reader.h"
#include "output/output_buffers.h"

namespace plotwright::testing {

// The lines of a list as strings; an absent list gives none.
std::vector<std::string> strings_of(const LineList& list);

// One scenario (LF line ends), read and compiled; keeps everything the tables point into.
//   CompiledText c("select Road\nForest\nscene Forest\n");
//   EXPECT_EQ(c.targets(14), (std::vector<int>{15}));
struct CompiledText {
  explicit CompiledText(std::string_view text);

  // Scene n's records up to its end record.
  std::vector<Record> records(int scene) const;
  std::vector<int> targets(int scene) const;
  // The `lines` of scene n's first record.
  std::vector<std::string> lines(int scene) const;
  // The condition texts of scene n's records, "" where a record has none.
  std::vector<std::string> conditions(int scene) const;
  int find(const char* name) const { return find_name(name, scenario.scenes); }
  // The messages the compile wrote into the story.
  std::string_view messages() const { return output->story(); }

  SourceStore store;
  CompiledScenario scenario;
  std::unique_ptr<OutputBuffers> output = std::make_unique<OutputBuffers>();
  CollectingDiagnostics diagnostics;
  int read_result = 0;
  int errors = 0;
};

}  // namespace plotwright::testing
