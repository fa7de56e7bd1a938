// Compiling and telling a scenario for the web package.
#include "web/web_scenario.h"

#include <sstream>

#include "authoring/coverage_report.h"
#include "authoring/coverage_run.h"
#include "authoring/document_model.h"
#include "authoring/graph_writer.h"
#include "authoring/scene_names.h"
#include "authoring/start_block.h"
#include "authoring/story_trace.h"
#include "base/statistics_path.h"
#include "session/opened_scenario.h"
#include "session/story_teller.h"
#include "statistics/usage_statistics.h"

namespace plotwright::web {

namespace {

RunFailure over_limit(int count, int told, std::size_t bytes) {
  constexpr std::size_t kMiB = std::size_t{1} << 20;
  std::string message = std::to_string(count) + " stories are more than one call may return (" +
                        std::to_string(kMaxStoriesBytes / kMiB) + " MiB): the first " +
                        std::to_string(told) + " already take " +
                        std::to_string((bytes + kMiB - 1) / kMiB) +
                        " MiB. Ask for fewer at a time.";
  return RunFailure{0, std::move(message), true};
}

}  // namespace

bool Scenario::compile(Cp932Codec& codec, std::string_view file,
                       std::optional<std::string> statistics, std::unique_ptr<Scenario>& scenario,
                       std::string* error) {
  if (!session::scenario_size_allowed(file.size(), error)) return false;
  std::unique_ptr<CheckedScenario> checked;
  // The automatic encoding never refuses a file.
  static_cast<void>(CheckedScenario::check(codec, file, InputEncoding::AUTO, checked, nullptr));
  scenario.reset(new Scenario(codec, std::move(checked), std::move(statistics)));
  if (scenario->checked_->encoding_problems() > 0) {
    // The lenient decoding put '?' for the refused characters; the strict one names the
    // character the command line names.
    session::OpenedScenario opened;
    if (session::scenario_from_bytes(file, InputEncoding::AUTO, opened, nullptr)) {
      static_cast<void>(session::decode(codec, opened, &scenario->encoding_error_));
    }
  }
  return true;
}

Scenario::Scenario(Cp932Codec& codec, std::unique_ptr<CheckedScenario> checked,
                   std::optional<std::string> statistics)
    : codec_(codec), checked_(std::move(checked)), statistics_(std::move(statistics)) {}

std::unique_ptr<session::StoryTeller> Scenario::make_teller(std::uint32_t seed,
                                                            RunObserver* observer) {
  session::TellerSetup setup;
  setup.seed = seed;
  setup.statistics =
      statistics_ ? session::StatisticsPlace::MEMORY : session::StatisticsPlace::NONE;
  setup.observer = observer;
  auto teller = std::make_unique<session::StoryTeller>(codec_, std::move(setup));
  if (statistics_) {
    teller->memory().files[derive_statistics_path(session::kTextScenarioPath)] = *statistics_;
  }
  return teller;
}

session::Story Scenario::load(session::StoryTeller& teller) const {
  return teller.load(checked_->engine_bytes(), session::kTextScenarioPath, statistics_.has_value());
}

void Scenario::keep_statistics(session::StoryTeller& teller) {
  static_cast<void>(teller.finish(true, nullptr));  // a store in memory cannot fail
  if (statistics_) {
    statistics_ = teller.memory().files[derive_statistics_path(session::kTextScenarioPath)];
  }
}

// One run over in-memory statistics (or none), told by the session as the command line tells
// it: the same path, seed and line ends.
bool Scenario::tell(std::uint32_t seed, int count, std::vector<std::string>& stories,
                    std::vector<std::string>& notes, RunFailure& failure) {
  stories.clear();
  notes.clear();
  if (!encoding_error_.empty()) {
    failure = {2, encoding_error_};
    return false;
  }
  const std::unique_ptr<session::StoryTeller> told = make_teller(seed, nullptr);
  session::StoryTeller& teller = *told;
  session::Story story = load(teller);
  if (!story.generated) {
    failure = {1, teller.message(story.engine)};
    return false;
  }
  std::size_t bytes = 0;
  for (int index = 0; index < count; ++index) {
    if (index > 0) story = *teller.regenerate();
    stories.push_back(teller.text(story.engine));
    bytes += stories.back().size();
    if (bytes > kMaxStoriesBytes) {
      failure = over_limit(count, index + 1, bytes);
      stories = {};  // and its memory
      return false;  // the statistics are not saved: nothing is counted
    }
  }
  keep_statistics(teller);
  // The statistics' notes concern a file on disk, which there is none of here.
  for (const session::Note& note : teller.take_notes()) {
    if (note.kind == session::NoteKind::CUT_SHORT) {
      notes.push_back("story " + std::to_string(note.story) + " was cut short by " + note.text);
    }
  }
  return true;
}

// The story as tell() tells it, watched for its trace and its lines' sources.
bool Scenario::tell_traced(std::uint32_t seed, const std::string& start, TracedStory& story,
                           RunFailure& failure) {
  if (!encoding_error_.empty()) {
    failure = {2, encoding_error_};
    return false;
  }
  int start_scene = 0;
  std::string error;
  if (!start.empty() &&
      !find_start_scene(start, checked_->analysis(), codec_, start_scene, &error)) {
    failure = {2, "--start: " + error};
    return false;
  }
  TraceRecorder trace;
  StorySourceRecorder sources;
  ObserverPair both(trace, sources);
  const std::unique_ptr<session::StoryTeller> telling = make_teller(seed, &both);
  session::StoryTeller& teller = *telling;
  if (start_scene != 0) teller.set_start_scene(start_scene);
  const session::Story told = load(teller);
  if (!told.generated) {
    failure = {1, teller.message(told.engine)};
    return false;
  }
  const Engine& engine = teller.document()->engine();
  story.text = teller.text(told.engine);
  story.lines = sources.lines(engine, told.engine);
  story.line_words.clear();
  for (const StoryLineSource& line : story.lines) {
    story.line_words.emplace_back(line.builtin ? builtin_scene_word(line.scene) : "");
  }
  const ScenarioModel model = document_model(*teller.document());
  story.trace = trace_json(trace, SceneNames(model, codec_));
  const char* limit = run_limit_name(trace.end());
  story.cut_short = limit ? limit : "";
  keep_statistics(teller);
  return true;
}

std::string Scenario::graph(const std::string& title, bool mermaid, bool source_lines) const {
  const ScenarioModel& model = checked_->analysis().model();
  const SceneGraph graph = build_scene_graph(model, SceneNames(model, codec_), codec_, nullptr);
  return mermaid ? graph_to_mermaid(graph, title) : graph_to_dot(graph, title, source_lines);
}

// Runs over in-memory statistics (or none) that count what each story reaches; the statistics
// stay as they were, as with the command line's coverage without --save-stats.
bool Scenario::coverage(std::uint32_t seed, int runs, const std::string& file, std::string& report,
                        RunFailure& failure, std::string* graph) {
  if (!encoding_error_.empty()) {
    failure = {2, encoding_error_};
    return false;
  }
  CoverageRun run;
  const std::unique_ptr<session::StoryTeller> telling = make_teller(seed, &run.recorder);
  session::StoryTeller& teller = *telling;
  CoverageStories stories;
  stories.runs = runs;
  stories.load = [this](session::StoryTeller& t) { return load(t); };
  const session::Story first = tell_counted_stories(teller, codec_, stories, run);
  if (!first.generated) {
    failure = {1, teller.message(first.engine)};
    return false;
  }
  const ScenarioModel& model = run.model;
  const CoverageRecorder& recorder = run.recorder;
  const SceneNames names(model, codec_);
  std::ostringstream out;
  write_coverage_json(make_coverage_report(model, recorder, names, file, seed), out);
  report = out.str();
  if (graph) *graph = graph_to_dot(build_scene_graph(model, names, codec_, &recorder), file, true);
  return true;
}

}  // namespace plotwright::web
