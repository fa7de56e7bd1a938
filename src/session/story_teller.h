// Stories told from an opened scenario, the same way for every front end: the seed or the
// clock, where the statistics live, the document of the current run, its stories in UTF-8
// and the notes about them.
//
// The line-end rule for every story a front end shows (text()): the engine's text converted
// to UTF-8 with LF line ends, and one LF added when it does not already end with one. Line
// ends already there are kept, so a story ends with at least one LF and nothing is taken
// away: `plotwright` prints exactly text() for each story. A message that stands in for a
// story (a scenario that does not compile) is message(): text() without that one final LF.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/clock.h"
#include "base/diagnostics.h"
#include "base/file_store.h"
#include "controller/document.h"
#include "encoding/cp932_codec.h"
#include "generator/run_observer.h"
#include "session/opened_scenario.h"

namespace plotwright::session {

// Where a run's statistics file lives.
enum class StatisticsPlace {
  NONE,    // nowhere: nothing is read or written (--no-stats)
  MEMORY,  // in memory, as the .vus file's text (statistics_files(), memory())
  DISK,    // beside the scenario on disk (a store from disk_statistics_store())
};

struct TellerSetup {
  std::optional<std::uint32_t> seed;  // the random source's seed; none: the clock's time
  StatisticsPlace statistics = StatisticsPlace::NONE;
  std::unique_ptr<FileStore> disk;        // DISK's store; required for DISK
  DiagnosticSink* diagnostics = nullptr;  // the compile's trace; null: none
  RunObserver* observer = nullptr;        // told what every run does, from the load on
};

// One story (or the messages that stand in for one) as the engine wrote it.
struct Story {
  bool generated = false;   // false: `engine` holds the scenario's messages
  std::string_view engine;  // the engine's bytes; valid until the next call on the teller
};

// The clock of a run: the seed asked for, or the system's time.
class SeedClock final : public Clock {
 public:
  void use_seed(std::optional<std::uint32_t> seed) { seed_ = seed; }
  std::int64_t now_seconds() override { return seed_ ? *seed_ : system_.now_seconds(); }

 private:
  std::optional<std::uint32_t> seed_;
  SystemClock system_;
};

class StoryTeller {
 public:
  StoryTeller(Cp932Codec& codec, TellerSetup setup);
  ~StoryTeller();
  StoryTeller(const StoryTeller&) = delete;
  StoryTeller& operator=(const StoryTeller&) = delete;

  // The seed of the next run's random source (none: the clock).
  void set_seed(std::optional<std::uint32_t> seed) { clock_.use_seed(seed); }
  // The scene every later load's stories begin at (a --start), set on the document before it
  // loads, so that the load's own story starts there too.
  void set_start_scene(int scene) { start_scene_ = scene; }

  // Loads the scenario into the current run's document, or a new one after finish(), and
  // tells its first story. A load into a running document saves the earlier scenario's
  // statistics first (a failure is a STATISTICS_NOT_SAVED note).
  Story load(std::string_view engine_bytes, std::string_view path, bool keep_statistics);
  Story load(const OpenedScenario& scenario) {
    return load(scenario.engine_bytes, scenario.path, scenario.keep_statistics);
  }
  // The run's next story; nullopt when no run is going on or its load told none.
  [[nodiscard]] std::optional<Story> regenerate();
  // Ends the run: saves its statistics, or drops them (their stories were never shown).
  // False, with the reason in `error`, when the save failed; the next load starts a new run.
  [[nodiscard]] bool finish(bool save, std::string* error);
  bool running() const { return running_; }

  // The notes since the last call, oldest first.
  std::vector<Note> take_notes() { return std::move(notes_); }

  // The line-end rule of the header.
  std::string text(std::string_view engine) const;
  std::string message(std::string_view engine) const;

  // The store the runs' statistics go through, and the memory store of MEMORY.
  FileStore& statistics_files() { return *files_; }
  MemoryFileStore& memory() { return memory_; }
  // The current run's document (or the last run's), for the front ends' observers, start
  // scene and accessors; null before the first load.
  Document* document() { return document_.get(); }

 private:
  Story told(bool generated, std::string_view engine);

  Cp932Codec& codec_;
  SeedClock clock_;
  NullFileStore none_;
  MemoryFileStore memory_;
  std::unique_ptr<FileStore> disk_;
  FileStore* files_ = nullptr;
  DiagnosticSink* diagnostics_ = nullptr;
  RunObserver* observer_ = nullptr;
  std::unique_ptr<Document> document_;
  std::optional<int> start_scene_;
  bool running_ = false;
  int stories_ = 0;  // told in this teller's life, messages included
  std::vector<Note> notes_;
};

}  // namespace plotwright::session
