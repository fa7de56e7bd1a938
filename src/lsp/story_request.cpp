// Telling one story of the story request and placing its lines.
#include "lsp/story_request.h"

#include "authoring/scene_names.h"
#include "authoring/start_block.h"
#include "authoring/story_sources.h"
#include "lsp/coverage_request.h"
#include "session/opened_scenario.h"
#include "session/story_teller.h"

namespace plotwright::lsp {

namespace {

// The scene `params.start` names, set on the teller; nothing without one.
void choose_start(const CheckedScenario& checked, Cp932Codec& codec, const json& params,
                  session::StoryTeller& teller) {
  if (!params.contains("start") || params["start"].is_null()) return;
  std::string error;
  int scene = 0;
  if (!find_start_scene(string_member(params, "start"), checked.analysis(), codec, scene, &error)) {
    throw RequestError(kRequestFailed, "start: " + error);
  }
  teller.set_start_scene(scene);
}

json line_json(const StoryLineSource& source) {
  if (source.builtin) return {{"builtin", builtin_scene_word(source.scene)}};
  return {{"line", source.line > 0 ? json(source.line - 1) : json()}};
}

}  // namespace

std::string story(OpenDocument& document, Cp932Codec& codec, const json& params) {
  const std::optional<std::uint32_t> seed = seed_of(params);
  StorySourceRecorder sources;
  session::TellerSetup setup;
  setup.seed = seed;
  setup.statistics = session::StatisticsPlace::NONE;
  setup.observer = &sources;
  session::StoryTeller teller(codec, std::move(setup));
  choose_start(document.checked(), codec, params, teller);
  const session::Story told =
      teller.load(document.checked().engine_bytes(), session::kTextScenarioPath, false);
  if (!told.generated) {
    throw RequestError(kRequestFailed, "the scenario tells no story: " +
                                           codec.engine_text_to_utf8(teller.message(told.engine)));
  }
  json lines = json::array();
  for (const StoryLineSource& source : sources.lines(teller.document()->engine(), told.engine)) {
    lines.push_back(line_json(source));
  }
  json result = {{"text", teller.text(told.engine)}, {"lines", std::move(lines)}};
  if (seed) result["seed"] = *seed;
  return message_text(result);
}

}  // namespace plotwright::lsp
