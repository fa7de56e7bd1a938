// Compiling and telling a scenario for the web package.
#include "web/web_scenario.h"

#include <sstream>

#include "authoring/coverage_report.h"
#include "authoring/document_model.h"
#include "authoring/graph_writer.h"
#include "base/clock.h"
#include "base/file_store.h"
#include "base/limits.h"
#include "base/text.h"
#include "compiler/line_source.h"
#include "controller/document.h"

namespace plotwright::web {

namespace {

// Where the run's statistics live in its file store: any name does, as long as the statistics
// path derived from it is kStatisticsPath.
constexpr const char* kScenarioPath = "scenario.vell";
constexpr const char* kStatisticsPath = "scenario.vus";

// As the command line prints a story: always ending with a line end.
std::string as_printed(std::string text) {
  if (!text.ends_with('\n')) text += '\n';
  return text;
}

std::string without_final_line_end(std::string text) {
  if (text.ends_with('\n')) text.pop_back();
  return text;
}

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
  if (file.size() > kMaxScenarioBytes) {
    if (error) {
      *error = "the scenario " + too_long_message();
    }
    return false;
  }
  std::unique_ptr<CheckedScenario> checked;
  // The automatic encoding never refuses a file.
  CheckedScenario::check(codec, file, InputEncoding::kAuto, checked, nullptr);
  scenario.reset(new Scenario(codec, std::move(checked), std::move(statistics)));
  if (scenario->checked_->encoding_problems() > 0) {
    // The lenient decoding put '?' for the refused characters; the strict one names the
    // character the command line names.
    DecodedScenario decoded;
    decode_scenario(codec, file, InputEncoding::kAuto, decoded, &scenario->encoding_error_);
  }
  return true;
}

Scenario::Scenario(Cp932Codec& codec, std::unique_ptr<CheckedScenario> checked,
                   std::optional<std::string> statistics)
    : codec_(codec), checked_(std::move(checked)), statistics_(std::move(statistics)) {}

bool Scenario::tell(std::uint32_t seed, int count, std::vector<std::string>& stories,
                    RunFailure& failure) {
  stories.clear();
  if (!encoding_error_.empty()) {
    failure = {2, encoding_error_};
    return false;
  }
  FixedClock clock(seed);
  MemoryFileStore files;
  if (statistics_) files.files[kStatisticsPath] = *statistics_;
  DocumentServices services;
  services.clock = &clock;
  services.files = &files;
  Document document(services);
  MemoryLineSource source(checked_->engine_bytes());
  const LoadOutcome loaded = document.load_scenario(source, kScenarioPath, statistics_.has_value());
  if (!loaded.generated) {
    failure = {1, without_final_line_end(codec_.engine_text_to_utf8(loaded.text))};
    return false;
  }
  std::size_t bytes = 0;
  for (int index = 0; index < count; ++index) {
    const std::string_view text =
        index == 0 ? std::string_view(loaded.text) : *document.regenerate();
    stories.push_back(as_printed(codec_.engine_text_to_utf8(text)));
    bytes += stories.back().size();
    if (bytes > kMaxStoriesBytes) {
      failure = over_limit(count, index + 1, bytes);
      stories = {};  // and its memory
      return false;  // the statistics are not saved: nothing is counted
    }
  }
  document.shutdown(nullptr);  // a store in memory cannot fail
  if (statistics_) statistics_ = files.files[kStatisticsPath];
  return true;
}

std::string Scenario::graph(const std::string& title, bool mermaid) const {
  const ScenarioModel& model = checked_->analysis().model();
  const SceneGraph graph = build_scene_graph(model, SceneNames(model, codec_), codec_, nullptr);
  return mermaid ? graph_to_mermaid(graph, title) : graph_to_dot(graph, title);
}

bool Scenario::coverage(std::uint32_t seed, int runs, const std::string& file, std::string& report,
                        RunFailure& failure) {
  if (!encoding_error_.empty()) {
    failure = {2, encoding_error_};
    return false;
  }
  FixedClock clock(seed);
  MemoryFileStore files;
  if (statistics_) files.files[kStatisticsPath] = *statistics_;
  DocumentServices services;
  services.clock = &clock;
  services.files = &files;
  Document document(services);
  CoverageRecorder recorder;
  document.set_run_observer(&recorder);
  MemoryLineSource source(checked_->engine_bytes());
  recorder.begin_story();
  const LoadOutcome loaded = document.load_scenario(source, kScenarioPath, statistics_.has_value());
  if (!loaded.generated) {
    failure = {1, without_final_line_end(codec_.engine_text_to_utf8(loaded.text))};
    return false;
  }
  recorder.add_story_text(codec_.engine_text_to_utf8(loaded.text));
  for (int story = 1; story < runs; ++story) {
    recorder.begin_story();
    recorder.add_story_text(codec_.engine_text_to_utf8(*document.regenerate()));
  }
  const ScenarioModel model = document_model(document);
  std::ostringstream out;
  write_coverage_json(make_coverage_report(model, recorder, SceneNames(model, codec_), file, seed),
                      out);
  report = out.str();
  return true;
}

}  // namespace plotwright::web
