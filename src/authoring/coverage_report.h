// The coverage command's report: per block, the stories that reached it; per draw (each select
// block and the title list), how often each choice was taken against an even share; the blocks
// never reached; how the stories ended; and their lengths. Shown as text, JSON or CSV.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "analysis/scenario_model.h"
#include "authoring/coverage.h"
#include "authoring/scene_names.h"

namespace plotwright {

struct BlockReach {
  std::string name;
  std::string kind;  // title, scene, select, message
  int line = 0;      // of its statement, from 1
  int scene = 0;     // 0 for a message block that gives no built-in scene its body
  std::int64_t stories = 0;
  bool reachable = true;  // whether the scene graph leads to it from the start
};

struct ChoiceTaken {
  std::string name;
  int scene = 0;
  std::int64_t taken = 0;
  double even_share = 0;  // the share of the draws it would take if each choice line had its turn
};

struct DrawReport {
  std::string name;  // the select block, or "title list"
  int line = 0;      // the select block's statement; 0 for the title list
  int scene = 0;
  std::int64_t draws = 0;
  std::int64_t none = 0;  // draws where no choice qualified
  std::vector<ChoiceTaken> choices;
};

struct CoverageReport {
  std::string file;
  std::int64_t runs = 0;
  std::optional<std::uint32_t> seed;
  std::vector<BlockReach> blocks;  // in the file's order
  std::vector<DrawReport> draws;   // the title list first, then the select blocks in order
  std::vector<std::pair<std::string, std::int64_t>> cut_short;  // limit's name, stories
  Spread lines;
  Spread characters;
};

// The report of the stories `recorder` counted from the scenario of `model`.
CoverageReport make_coverage_report(const ScenarioModel& model, const CoverageRecorder& recorder,
                                    const SceneNames& names, const std::string& file,
                                    std::optional<std::uint32_t> seed);

void write_coverage_text(const CoverageReport& report, std::ostream& out);
void write_coverage_json(const CoverageReport& report, std::ostream& out);
void write_coverage_csv(const CoverageReport& report, std::ostream& out);

}  // namespace plotwright
