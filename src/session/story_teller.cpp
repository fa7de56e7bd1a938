// Runs of a scenario for every front end.
#include "session/story_teller.h"

#include <utility>

#include "compiler/line_source.h"
#include "generator/run_observer.h"

namespace plotwright::session {

StoryTeller::StoryTeller(Cp932Codec& codec, TellerSetup setup)
    : codec_(codec),
      disk_(std::move(setup.disk)),
      diagnostics_(setup.diagnostics),
      observer_(setup.observer) {
  clock_.use_seed(setup.seed);
  switch (setup.statistics) {
    case StatisticsPlace::NONE:
      files_ = &none_;
      break;
    case StatisticsPlace::MEMORY:
      files_ = &memory_;
      break;
    case StatisticsPlace::DISK:
      // Without a disk store nothing may be written: none rather than somewhere else.
      files_ = disk_ ? disk_.get() : static_cast<FileStore*>(&none_);
      break;
  }
}

StoryTeller::~StoryTeller() = default;

Story StoryTeller::load(std::string_view engine_bytes, std::string_view path,
                        bool keep_statistics) {
  if (!running_) {
    document_ =
        std::make_unique<Document>(DocumentServices{nullptr, &clock_, files_, diagnostics_});
    document_->set_run_observer(observer_);
    running_ = true;
  }
  if (start_scene_) document_->set_start_scene(*start_scene_);
  MemoryLineSource source(engine_bytes);
  const LoadOutcome loaded = document_->load_scenario(source, path, keep_statistics);
  if (!loaded.statistics_error.empty()) {
    notes_.push_back(Note{NoteKind::STATISTICS_NOT_SAVED, loaded.statistics_error, 0});
  }
  if (!loaded.statistics_warning.empty()) {
    notes_.push_back(Note{NoteKind::STATISTICS_REFUSED, loaded.statistics_warning, 0});
  }
  return told(loaded.generated, loaded.text);
}

std::optional<Story> StoryTeller::regenerate() {
  if (!running_) return std::nullopt;
  const std::optional<std::string_view> text = document_->regenerate();
  if (!text) return std::nullopt;
  return told(true, *text);
}

Story StoryTeller::told(bool generated, std::string_view engine) {
  ++stories_;
  const char* limit = generated ? run_limit_name(document_->last_run_end()) : nullptr;
  if (limit) notes_.push_back(Note{NoteKind::CUT_SHORT, limit, stories_});
  return Story{generated, engine};
}

bool StoryTeller::finish(bool save, std::string* error) {
  if (!running_) return true;
  running_ = false;
  if (!save) {
    document_->drop_statistics();
    return true;
  }
  return document_->shutdown(error);
}

std::string StoryTeller::text(std::string_view engine) const {
  std::string shown = codec_.engine_text_to_utf8(engine);
  if (!shown.ends_with('\n')) shown += '\n';
  return shown;
}

std::string StoryTeller::message(std::string_view engine) const {
  std::string shown = text(engine);
  shown.pop_back();
  return shown;
}

}  // namespace plotwright::session
