// Telling the stories of the coverage request and turning the report into places.
#include "lsp/coverage_request.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

#include "authoring/coverage_report.h"
#include "session/opened_scenario.h"
#include "session/story_teller.h"

namespace plotwright::lsp {

namespace {

int story_count(const json& params) {
  if (!params.contains("count")) return kDefaultCoverageStories;
  const json& count = params["count"];
  if (!count.is_number_integer() || count.get<std::int64_t>() < 1) {
    throw RequestError(kInvalidParams, "count must be a whole number of stories, 1 or more");
  }
  return static_cast<int>(std::min<std::int64_t>(count.get<std::int64_t>(), kMaxCoverageStories));
}

// What the stories reached, counted from a scenario without a statistics file.
void tell_stories(OpenDocument& document, Cp932Codec& codec, int count,
                  std::optional<std::uint32_t> seed, CoverageRun& run) {
  session::TellerSetup setup;
  setup.seed = seed;
  setup.statistics = session::StatisticsPlace::NONE;
  setup.observer = &run.recorder;
  session::StoryTeller teller(codec, std::move(setup));
  CoverageStories stories;
  stories.runs = count;
  stories.load = [&](session::StoryTeller& t) {
    return t.load(document.checked().engine_bytes(), session::kTextScenarioPath, false);
  };
  const session::Story first = tell_counted_stories(teller, codec, stories, run);
  if (!first.generated) {
    throw RequestError(kRequestFailed, "the scenario tells no story: " +
                                           codec.engine_text_to_utf8(teller.message(first.engine)));
  }
}

// The choice lines of the reached select blocks that lead to a destination never taken.
void add_untaken(const CoverageReport& report, const ScenarioModel& model, const DocumentText& text,
                 json& result) {
  json untaken = json::array();
  std::int64_t choices = 0;
  for (const ModelChoice& choice : model.choices) {
    const ModelBlock& block = model.blocks[choice.block];
    const auto draw = std::find_if(report.draws.begin(), report.draws.end(),
                                   [&](const DrawReport& d) { return d.scene == block.scene; });
    if (choice.target <= 0 || draw == report.draws.end() || draw->draws == 0) continue;
    ++choices;
    const auto taken = std::find_if(draw->choices.begin(), draw->choices.end(),
                                    [&](const ChoiceTaken& c) { return c.scene == choice.target; });
    if (taken == draw->choices.end() || taken->taken > 0) continue;
    untaken.push_back(
        {{"name", taken->name}, {"select", draw->name}, {"range", range_json(text, choice.range)}});
  }
  result["choices"] = choices;
  result["takenChoices"] = choices - static_cast<std::int64_t>(untaken.size());
  result["untaken"] = std::move(untaken);
}

}  // namespace

std::optional<std::uint32_t> seed_of(const json& params) {
  if (!params.contains("seed") || params["seed"].is_null()) return std::nullopt;
  const json& seed = params["seed"];
  if (!seed.is_number_integer() || seed.get<std::int64_t>() < 0 ||
      seed.get<std::int64_t>() > std::numeric_limits<std::uint32_t>::max()) {
    throw RequestError(kInvalidParams, "seed must be a whole number from 0 to 4294967295");
  }
  return static_cast<std::uint32_t>(seed.get<std::int64_t>());
}

std::optional<std::uint32_t> tell_coverage_stories(OpenDocument& document, Cp932Codec& codec,
                                                   const json& params, CoverageRun& run) {
  const int count = story_count(params);
  const std::optional<std::uint32_t> seed = seed_of(params);
  tell_stories(document, codec, count, seed, run);
  return seed;
}

std::string coverage(OpenDocument& document, Cp932Codec& codec, const json& params) {
  CoverageRun counted;
  const std::optional<std::uint32_t> seed = tell_coverage_stories(document, codec, params, counted);
  const CoverageReport report = make_coverage_report(
      counted.model, counted.recorder, SceneNames(counted.model, codec), document.uri(), seed);
  json result = {{"stories", report.runs}, {"blocks", report.blocks.size()}};
  if (seed) result["seed"] = *seed;
  json unreached = json::array();
  for (std::size_t b = 0; b < report.blocks.size(); ++b) {
    const BlockReach& block = report.blocks[b];
    if (block.stories > 0) continue;
    unreached.push_back(
        {{"name", block.name},
         {"kind", block.kind},
         {"range", range_json(document.text(), counted.model.blocks[b].statement)}});
  }
  result["reachedBlocks"] = report.blocks.size() - unreached.size();
  result["unreached"] = std::move(unreached);
  add_untaken(report, counted.model, document.text(), result);
  json cut_short = json::array();
  for (const auto& [limit, stories] : report.cut_short) {
    cut_short.push_back({{"limit", limit}, {"stories", stories}});
  }
  result["cutShort"] = std::move(cut_short);
  return message_text(result);
}

}  // namespace plotwright::lsp
