// Compiling and telling a scenario for the web package.
#include "web/web_scenario.h"

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
  CheckedScenario::check(codec, file, InputEncoding::AUTO, checked, nullptr);
  scenario.reset(new Scenario(codec, std::move(checked), std::move(statistics)));
  if (scenario->checked_->encoding_problems() > 0) {
    // The lenient decoding put '?' for the refused characters; the strict one names the
    // character the command line names.
    DecodedScenario decoded;
    decode_scenario(codec, file, InputEncoding::AUTO, decoded, &scenario->encoding_error_);
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
  stories.push_back(as_printed(codec_.engine_text_to_utf8(loaded.text)));
  for (int index = 1; index < count; ++index) {
    stories.push_back(as_printed(codec_.engine_text_to_utf8(*document.regenerate())));
  }
  document.shutdown(nullptr);  // a store in memory cannot fail
  if (statistics_) statistics_ = files.files[kStatisticsPath];
  return true;
}

}  // namespace plotwright::web
