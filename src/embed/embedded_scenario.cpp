// One scenario of the C interface: opening, runs and their stories, statistics, diagnostics.
#include "embed/embedded_scenario.h"

#include <algorithm>
#include <utility>

#include "analysis/diagnostics.h"
#include "base/statistics_path.h"
#include "session/scenario_file_source.h"
#include "statistics/usage_statistics.h"

namespace plotwright::embed {

namespace {

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

}  // namespace

const char* severity_name(std::underlying_type_t<plotwright_severity> value) {
  for (const Severity severity : {Severity::ERROR, Severity::WARNING, Severity::NOTE}) {
    if (to_c_severity(severity) == value) return plotwright::severity_name(severity);
  }
  return nullptr;
}

EmbeddedScenario::EmbeddedScenario() = default;

EmbeddedScenario::~EmbeddedScenario() = default;

void EmbeddedScenario::close() {
  static_cast<void>(end_run(kept_on_disk(), nullptr));  // a failure goes unreported here
}

bool EmbeddedScenario::kept_on_disk() const {
  return opened_ && on_disk_;
}

plotwright_status EmbeddedScenario::fail(plotwright_status status, std::string message) {
  message_ = std::move(message);
  return status;
}

plotwright_status EmbeddedScenario::fail_quietly(plotwright_status status,
                                                 const char* message) noexcept {
  try {
    message_ = message;
  } catch (...) {  // memory ran out: the status says it all the same
    message_.clear();
  }
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
  session::OpenedScenario scenario;
  std::string error;
  if (!session::scenario_from_file(path, false, InputEncoding::AUTO, scenario, &error)) {
    return fail(PLOTWRIGHT_FILE_ERROR, path + ": " + error);
  }
  const bool on_disk = (flags & PLOTWRIGHT_KEEP_STATISTICS) != 0;
  // In memory the statistics cannot overwrite the scenario, whatever its name.
  if (!on_disk) scenario.keep_statistics = true;
  std::vector<session::Note> notes = std::move(scenario.notes);
  const plotwright_status status = opened(std::move(scenario), encoding, on_disk);
  if (status != PLOTWRIGHT_OK) return fail(status, path + ": " + message_);
  for (const session::Note& note : notes) warn(path + ": " + note.text);
  return status;
}

plotwright_status EmbeddedScenario::open_text(std::string_view text, plotwright_encoding encoding) {
  session::OpenedScenario scenario;
  std::string error;
  // The limit a file read from disk has, before the text is copied.
  if (!session::scenario_from_bytes(text, InputEncoding::AUTO, scenario, &error)) {
    return fail(PLOTWRIGHT_ARGUMENT_ERROR, error);
  }
  return opened(std::move(scenario), encoding, false);
}

// Decodes the scenario and, when it can tell stories, makes it the handle's scenario, with a
// new teller for its statistics; a failure leaves the scenario that was open.
plotwright_status EmbeddedScenario::opened(session::OpenedScenario scenario,
                                           plotwright_encoding encoding, bool on_disk) {
  if (!to_input_encoding(encoding, scenario.encoding)) {
    return fail(PLOTWRIGHT_ARGUMENT_ERROR, "unknown encoding");
  }
  std::string error;
  if (!codec_ && !Cp932Codec::open(codec_, &error)) {
    return fail(PLOTWRIGHT_ENCODING_ERROR, error);
  }
  if (!session::decode(*codec_, scenario, &error)) return fail(PLOTWRIGHT_ENCODING_ERROR, error);
  std::string unsaved;
  const bool saved = end_run(kept_on_disk(), &unsaved);
  session::TellerSetup setup;
  setup.statistics = on_disk ? session::StatisticsPlace::DISK : session::StatisticsPlace::MEMORY;
  if (on_disk) setup.disk = session::disk_statistics_store();
  teller_ = std::make_unique<session::StoryTeller>(*codec_, std::move(setup));
  told_ = false;
  raw_.clear();
  checked_.reset();
  diagnostics_.clear();
  opened_ = std::move(scenario);
  on_disk_ = on_disk;
  if (!saved) warn("could not save statistics: " + unsaved);
  return PLOTWRIGHT_OK;
}

// ---------------------------------------------------------------------------------------------
// Runs

plotwright_status EmbeddedScenario::story(std::uint32_t seed, std::string_view& text) {
  if (!opened_) return fail(PLOTWRIGHT_STATE_ERROR, "no scenario is open");
  teller_->set_seed(seed);
  return start_run(text);
}

plotwright_status EmbeddedScenario::regenerate(std::string_view& text) {
  if (!opened_) return fail(PLOTWRIGHT_STATE_ERROR, "no scenario is open");
  if (!teller_->running()) {
    teller_->set_seed(std::nullopt);
    return start_run(text);
  }
  const std::optional<session::Story> story = teller_->regenerate();
  // A run whose load failed has only its messages to show again.
  return show(story ? *story : session::Story{false, std::string(raw_)}, text);
}

plotwright_status EmbeddedScenario::raw_story(std::string_view& bytes) {
  if (!told_) return fail(PLOTWRIGHT_STATE_ERROR, "no story has been told yet");
  bytes = raw_;
  return PLOTWRIGHT_OK;
}

// A new run over the scenario. Statistics on disk are saved at the end of every run, as every
// run of the program saves them, and the new run reads them; statistics in memory change only
// when they are saved or set, so one seed tells one story until then.
plotwright_status EmbeddedScenario::start_run(std::string_view& text) {
  std::string unsaved;
  const bool saved = end_run(kept_on_disk(), &unsaved);
  const session::Story story = teller_->load(*opened_);
  if (!saved) warn("could not save statistics: " + unsaved);
  warn_notes();
  return show(story, text);
}

// The notes of the caller's concern; a story cut short by a limit is not one of them.
void EmbeddedScenario::warn_notes() {
  for (const session::Note& note : teller_->take_notes()) {
    if (note.kind == session::NoteKind::STATISTICS_REFUSED) warn(note.text);
  }
}

plotwright_status EmbeddedScenario::show(const session::Story& story, std::string_view& text) {
  told_ = true;
  text_ = teller_->text(story.engine);
  raw_.assign(story.engine);  // after the text: `story` may show raw_ itself
  text = text_;
  if (story.generated) return PLOTWRIGHT_OK;
  return fail(PLOTWRIGHT_SCENARIO_ERROR, teller_->message(raw_));
}

// Ends the current run, saving its statistics or dropping them. False, with why in `error`,
// when the save failed.
bool EmbeddedScenario::end_run(bool save, std::string* error) {
  return !teller_ || teller_->finish(save, error);
}

// ---------------------------------------------------------------------------------------------
// Statistics

FileStore& EmbeddedScenario::files() {
  return teller_->statistics_files();
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
  if (teller_->running()) {
    text_ = teller_->document()->statistics_text();
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
  // Its counts would be replaced all the same; dropping them cannot fail.
  static_cast<void>(end_run(false, nullptr));
  std::string error;
  const auto replace = [&](std::string_view) { return std::string(text); };
  if (!files().update_file(statistics_path(), statistics_read_limit(records), replace, &error)) {
    return fail(PLOTWRIGHT_STATISTICS_ERROR, error);
  }
  return PLOTWRIGHT_OK;
}

plotwright_status EmbeddedScenario::save_statistics() {
  if (!opened_) return fail(PLOTWRIGHT_STATE_ERROR, "no scenario is open");
  std::string unsaved;
  if (!end_run(true, &unsaved)) return fail(PLOTWRIGHT_STATISTICS_ERROR, unsaved);
  return PLOTWRIGHT_OK;
}

// ---------------------------------------------------------------------------------------------
// Diagnostics

// The scenario checked for its author, once per scenario. Its decoding does not fail: the same
// bytes were decoded strictly when the scenario was opened; were it ever to, the automatic
// encoding, which refuses nothing, stands in rather than no check at all.
const CheckedScenario* EmbeddedScenario::checked() {
  if (!checked_ &&
      !CheckedScenario::check(*codec_, opened_->file_bytes, opened_->encoding, checked_, nullptr)) {
    static_cast<void>(CheckedScenario::check(*codec_, opened_->file_bytes, InputEncoding::AUTO,
                                             checked_, nullptr));
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
