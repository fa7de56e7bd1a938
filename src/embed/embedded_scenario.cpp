// One scenario of the C interface: opening, runs and their stories, statistics, diagnostics.
#include "embed/embedded_scenario.h"

#include <algorithm>
#include <utility>

#include "base/limits.h"
#include "base/statistics_path.h"
#include "base/text.h"
#include "compiler/line_source.h"
#include "platform/scenario_file.h"
#include "statistics/usage_statistics.h"

namespace plotwright::embed {

namespace {

// The path a scenario opened from text is known by; its statistics live in memory beside it.
constexpr const char* kTextPath = "scenario.vell";

bool to_input_encoding(plotwright_encoding encoding, InputEncoding& input) {
  switch (encoding) {
    case PLOTWRIGHT_ENCODING_AUTO:
      input = InputEncoding::AUTO;
      return true;
    case PLOTWRIGHT_ENCODING_SHIFT_JIS:
      input = InputEncoding::SHIFT_JIS;
      return true;
    case PLOTWRIGHT_ENCODING_UTF8:
      input = InputEncoding::UTF8;
      return true;
  }
  return false;
}

plotwright_severity to_c_severity(Severity severity) {
  switch (severity) {
    case Severity::ERROR:
      return PLOTWRIGHT_SEVERITY_ERROR;
    case Severity::WARNING:
      return PLOTWRIGHT_SEVERITY_WARNING;
    case Severity::NOTE:
      break;
  }
  return PLOTWRIGHT_SEVERITY_NOTE;
}

// The messages that stand in for a story, as one message: without the last line end.
std::string without_last_line_end(std::string text) {
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

}  // namespace

EmbeddedScenario::EmbeddedScenario() = default;

EmbeddedScenario::~EmbeddedScenario() = default;

void EmbeddedScenario::close() {
  end_run(kept_on_disk());
}

bool EmbeddedScenario::kept_on_disk() const {
  return opened_ && opened_->on_disk;
}

plotwright_status EmbeddedScenario::fail(plotwright_status status, std::string message) {
  message_ = std::move(message);
  return status;
}

void EmbeddedScenario::warn(const std::string& warning) {
  if (warning.empty()) return;
  if (!message_.empty()) message_ += '\n';
  message_ += "warning: " + warning;
}

// ---------------------------------------------------------------------------------------------
// Opening

plotwright_status EmbeddedScenario::open_file(const std::string& path, plotwright_encoding encoding,
                                              unsigned flags) {
  if ((flags & ~static_cast<unsigned>(PLOTWRIGHT_KEEP_STATISTICS)) != 0) {
    return fail(PLOTWRIGHT_ARGUMENT_ERROR, "unknown flags");
  }
  platform::ScenarioFile file;
  std::string error;
  if (!platform::read_scenario_file(path, false, file, &error)) {
    return fail(PLOTWRIGHT_FILE_ERROR, path + ": " + error);
  }
  Opened opened;
  opened.path = file.path;
  opened.on_disk = (flags & PLOTWRIGHT_KEEP_STATISTICS) != 0;
  // In memory the statistics cannot overwrite the scenario, whatever its name.
  opened.keep_statistics = !opened.on_disk || file.keep_statistics;
  const plotwright_status status = open_bytes(std::move(file.bytes), encoding, std::move(opened));
  if (status != PLOTWRIGHT_OK) return fail(status, path + ": " + message_);
  for (const std::string& note : file.notes) warn(path + ": " + note);
  return status;
}

plotwright_status EmbeddedScenario::open_text(std::string_view text, plotwright_encoding encoding) {
  // The limit a file read from disk has, before the text is copied.
  if (text.size() > kMaxScenarioBytes) {
    return fail(PLOTWRIGHT_ARGUMENT_ERROR, "the scenario " + too_long_message());
  }
  Opened opened;
  opened.path = kTextPath;
  return open_bytes(std::string(text), encoding, std::move(opened));
}

// Decodes the bytes and, when they can tell stories, makes them the handle's scenario; a
// failure leaves the scenario that was open.
plotwright_status EmbeddedScenario::open_bytes(std::string bytes, plotwright_encoding encoding,
                                               Opened opened) {
  if (!to_input_encoding(encoding, opened.encoding)) {
    return fail(PLOTWRIGHT_ARGUMENT_ERROR, "unknown encoding");
  }
  std::string error;
  if (!codec_ && !Cp932Codec::open(codec_, &error)) {
    return fail(PLOTWRIGHT_ENCODING_ERROR, error);
  }
  DecodedScenario decoded;
  if (!decode_scenario(*codec_, bytes, opened.encoding, decoded, &error)) {
    return fail(PLOTWRIGHT_ENCODING_ERROR, error);
  }
  const std::string unsaved = end_run(kept_on_disk());
  run_.reset();
  raw_.clear();
  checked_.reset();
  diagnostics_.clear();
  memory_.files.clear();
  opened.file_bytes = std::move(bytes);
  opened.engine_bytes = std::move(decoded.bytes);
  opened_ = std::move(opened);
  if (!unsaved.empty()) warn("could not save statistics: " + unsaved);
  return PLOTWRIGHT_OK;
}

// ---------------------------------------------------------------------------------------------
// Runs

plotwright_status EmbeddedScenario::story(std::uint32_t seed, std::string_view& text) {
  if (!opened_) return fail(PLOTWRIGHT_STATE_ERROR, "no scenario is open");
  clock_.use_seed(seed);
  return start_run(text);
}

plotwright_status EmbeddedScenario::regenerate(std::string_view& text) {
  if (!opened_) return fail(PLOTWRIGHT_STATE_ERROR, "no scenario is open");
  if (!run_active_) {
    clock_.use_system_time();
    return start_run(text);
  }
  const std::optional<std::string_view> story = run_->regenerate();
  // A run whose load failed has only its messages to show again.
  return story ? show(true, *story, text) : show(false, std::string(raw_), text);
}

plotwright_status EmbeddedScenario::raw_story(std::string_view& bytes) {
  if (!run_) return fail(PLOTWRIGHT_STATE_ERROR, "no story has been told yet");
  bytes = raw_;
  return PLOTWRIGHT_OK;
}

// A new document over the scenario. Statistics on disk are saved at the end of every run, as
// every run of the program saves them, and the new run reads them; statistics in memory change
// only when they are saved or set, so one seed tells one story until then.
plotwright_status EmbeddedScenario::start_run(std::string_view& text) {
  const std::string unsaved = end_run(kept_on_disk());
  DocumentServices services;
  services.clock = &clock_;
  services.files = &files();
  run_ = std::make_unique<Document>(services);
  MemoryLineSource source(opened_->engine_bytes);
  const LoadOutcome loaded = run_->load_scenario(source, opened_->path, opened_->keep_statistics);
  run_active_ = true;
  if (!unsaved.empty()) warn("could not save statistics: " + unsaved);
  warn(loaded.statistics_warning);
  return show(loaded.generated, loaded.text, text);
}

plotwright_status EmbeddedScenario::show(bool generated, std::string_view engine_text,
                                         std::string_view& text) {
  raw_.assign(engine_text);
  text_ = codec_->engine_text_to_utf8(engine_text);
  if (!text_.ends_with('\n')) text_ += '\n';
  text = text_;
  if (generated) return PLOTWRIGHT_OK;
  return fail(PLOTWRIGHT_SCENARIO_ERROR, without_last_line_end(text_));
}

// Ends the current run, saving its statistics or dropping them; returns why a save failed.
std::string EmbeddedScenario::end_run(bool save) {
  if (!run_active_) return {};
  run_active_ = false;
  if (!save) {
    run_->drop_statistics();
    return {};
  }
  std::string error;
  run_->shutdown(&error);
  return error;
}

// ---------------------------------------------------------------------------------------------
// Statistics

FileStore& EmbeddedScenario::files() {
  return opened_->on_disk ? static_cast<FileStore&>(disk_) : memory_;
}

std::string EmbeddedScenario::statistics_path() const {
  return derive_statistics_path(opened_->path);
}

int EmbeddedScenario::record_count() {
  return std::max(checked()->analysis().scenario().scenes.scene_count() - 1, 0);
}

bool EmbeddedScenario::offers_choice() {
  return checked()->analysis().scenario().choice_points > 0;
}

plotwright_status EmbeddedScenario::statistics(std::string_view& text) {
  if (!opened_) return fail(PLOTWRIGHT_STATE_ERROR, "no scenario is open");
  text_.clear();
  if (run_active_) {
    text_ = run_->statistics_text();
  } else if (offers_choice()) {
    std::string error;
    const std::size_t limit = statistics_read_limit(record_count());
    if (!files().read_file(statistics_path(), limit, text_, &error)) {
      return fail(PLOTWRIGHT_STATISTICS_ERROR, error);
    }
  }
  text = text_;
  return PLOTWRIGHT_OK;
}

plotwright_status EmbeddedScenario::set_statistics(std::string_view text) {
  if (!opened_) return fail(PLOTWRIGHT_STATE_ERROR, "no scenario is open");
  if (!text.empty() && !offers_choice()) {
    return fail(PLOTWRIGHT_ARGUMENT_ERROR,
                "this scenario offers no choice, so it keeps no "
                "statistics");
  }
  const int records = record_count();
  StatisticsRecords parsed;
  if (!text.empty() &&
      (text.size() > statistics_read_limit(records) || !parse_statistics(text, records, parsed))) {
    return fail(PLOTWRIGHT_ARGUMENT_ERROR, "these statistics do not fit the scenario: it needs " +
                                               std::to_string(records) + " lines of two numbers");
  }
  end_run(false);  // its counts would be replaced all the same
  std::string error;
  const auto replace = [&](std::string_view) { return std::string(text); };
  if (!files().update_file(statistics_path(), statistics_read_limit(records), replace, &error)) {
    return fail(PLOTWRIGHT_STATISTICS_ERROR, error);
  }
  return PLOTWRIGHT_OK;
}

plotwright_status EmbeddedScenario::save_statistics() {
  if (!opened_) return fail(PLOTWRIGHT_STATE_ERROR, "no scenario is open");
  const std::string unsaved = end_run(true);
  if (!unsaved.empty()) return fail(PLOTWRIGHT_STATISTICS_ERROR, unsaved);
  return PLOTWRIGHT_OK;
}

// ---------------------------------------------------------------------------------------------
// Diagnostics

// The scenario checked for its author, once per scenario. Its decoding cannot fail: the same
// bytes were decoded strictly when the scenario was opened.
const CheckedScenario* EmbeddedScenario::checked() {
  if (!checked_) {
    CheckedScenario::check(*codec_, opened_->file_bytes, opened_->encoding, checked_, nullptr);
  }
  return checked_.get();
}

plotwright_status EmbeddedScenario::diagnostics(const plotwright_diagnostic*& list,
                                                std::size_t& count) {
  if (!opened_) return fail(PLOTWRIGHT_STATE_ERROR, "no scenario is open");
  if (diagnostics_.empty()) {
    for (const AuthorDiagnostic& d : checked()->diagnostics()) {
      diagnostics_.push_back(plotwright_diagnostic{
          d.range.begin.line, d.range.begin.column, d.range.end.line, d.range.end.column,
          to_c_severity(d.severity), d.code.c_str(), d.message.c_str()});
    }
  }
  list = diagnostics_.data();
  count = diagnostics_.size();
  return PLOTWRIGHT_OK;
}

}  // namespace plotwright::embed
