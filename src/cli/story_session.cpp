// Loading, telling, tracing and saving for the story command.
#include "cli/story_session.h"

#include <ostream>

#include "analysis/scenario_analysis.h"
#include "authoring/checked_scenario.h"
#include "authoring/document_model.h"
#include "authoring/start_block.h"
#include "compiler/line_source.h"

namespace plotwright::cli {

void Utf8StreamDiagnostics::write(std::string_view bytes) {
  pending_.append(bytes);
  const std::size_t end = pending_.rfind('\n');
  if (end == std::string::npos) return;
  stream_ << codec_.engine_text_to_utf8(std::string_view(pending_).substr(0, end + 1));
  pending_.erase(0, end + 1);
}

void Utf8StreamDiagnostics::finish() {
  if (pending_.empty()) return;
  stream_ << codec_.engine_text_to_utf8(pending_) << '\n';
  pending_.clear();
}

namespace {

// A statistics file that cannot be written costs the user nothing of the story: warn only.
void warn_unsaved_statistics(const std::string& error, std::ostream& err) {
  if (!error.empty()) err << "plotwright: warning: could not save statistics: " << error << '\n';
}

}  // namespace

platform::DiskFileStore::BusyNotice warn_when_locked(std::ostream& err) {
  return [&err](const std::string& path) {
    err << "plotwright: warning: " << path
        << ": is locked by another program; waiting for it to save the statistics" << std::endl;
  };
}

StorySession::StorySession(const Options& options, Cp932Codec& codec, std::ostream& out,
                           std::ostream& err)
    : options_(options),
      codec_(codec),
      out_(out),
      err_(err),
      fixed_clock_(options.seed ? std::optional<FixedClock>(*options.seed) : std::nullopt),
      disk_(warn_when_locked(err)),
      shown_(err, codec),
      document_(
          DocumentServices{nullptr, fixed_clock_ ? &*fixed_clock_ : nullptr,
                           options.no_stats ? static_cast<FileStore*>(&no_files_) : &disk_,
                           options.verbose ? static_cast<DiagnosticSink*>(&shown_) : &hidden_}),
      writer_(options, out, codec) {
  if (options.trace) document_.set_run_observer(&trace_);
}

// The scene --start names, set before the load so that the load's story starts there too.
bool StorySession::choose_start(const std::string& engine_bytes) {
  if (options_.start.empty()) return true;
  const ScenarioAnalysis analysis(engine_bytes);
  std::string error;
  const int scene = find_start_scene(options_.start, analysis, codec_, &error);
  if (scene == 0) {
    err_ << "plotwright: --start: " << error << '\n';
    return false;
  }
  document_.set_start_scene(scene);
  return true;
}

void StorySession::name_scenes() {
  names_.reset();
  model_ = document_model(document_);
  names_.emplace(*model_, codec_);
}

// One story: its text, then its trace on standard error (in --json, inside its line), and a
// note when a limit cut its run short.
void StorySession::write_story(std::string_view text) {
  const int index = index_++;
  if (!options_.trace) {
    writer_.write(text, index);
  } else if (options_.json) {
    writer_.write(text, index, trace_json(trace_, *names_));
  } else {
    writer_.write(text, index);
    out_.flush();
    err_ << trace_text(trace_, *names_, index + 1);
  }
  trace_.clear();
  const char* limit = run_limit_name(document_.last_run_end());
  if (limit && !(options_.trace && !options_.json)) {
    out_.flush();
    err_ << "plotwright: note: story " << index + 1 << " was cut short by " << limit << '\n';
  }
}

// A scenario that does not compile shows the compile's messages as its story; standard error
// gets the errors where they are, as `check` writes them, and where to find the rest. With
// --check they are already there.
void StorySession::point_at_errors(const std::string& name, const std::string& engine_bytes) {
  std::unique_ptr<CheckedScenario> checked;
  if (options_.check ||
      !CheckedScenario::check(codec_, engine_bytes, InputEncoding::SHIFT_JIS, checked, nullptr)) {
    return;
  }
  out_.flush();
  for (const AuthorDiagnostic& d : checked->diagnostics()) {
    if (d.severity != Severity::ERROR) continue;
    err_ << name << ':' << d.range.begin.line << ':' << d.range.begin.column
         << ": error: " << d.message << " [" << d.code << "]\n";
  }
  err_ << "plotwright: note: \"plotwright check " << options_.file << "\" shows the warnings too\n";
}

int StorySession::tell(const std::string& name, const platform::ScenarioFile& scenario,
                       std::string engine_bytes) {
  if (!choose_start(engine_bytes)) return kExitUsage;
  trace_.clear();
  FileLineSource source(std::move(engine_bytes));
  const LoadOutcome loaded =
      document_.load_scenario(source, scenario.path, scenario.keep_statistics);
  shown_.finish();
  warn_unsaved_statistics(loaded.statistics_error, err_);
  if (!loaded.statistics_warning.empty()) {
    err_ << "plotwright: warning: " << loaded.statistics_warning << '\n';
  }
  if (!loaded.generated) {
    writer_.write(loaded.text, index_++);  // the messages, once: there is no story to repeat
    point_at_errors(name, source.bytes());
  } else {
    if (options_.trace) name_scenes();
    write_story(loaded.text);  // the text is valid only until the next regeneration
    for (int story = 1; story < options_.count && out_; ++story) {
      write_story(document_.regenerate().value_or(std::string_view()));
    }
  }
  shown_.finish();
  out_.flush();
  if (!out_) return kExitUsage;
  return loaded.generated ? kExitStory : kExitScenario;
}

int StorySession::finish(int status) {
  out_.flush();
  if (!out_) {
    document_.drop_statistics();
    err_ << "plotwright: could not write the story to standard output\n";
    return kExitUsage;
  }
  std::string unsaved;
  document_.shutdown(&unsaved);
  warn_unsaved_statistics(unsaved, err_);
  return status;
}

}  // namespace plotwright::cli
