// The document controller: the one document of a front end, free of any window system.
// It loads a scenario (read, compile, statistics, one story), regenerates, gives the text of a
// new document and writes the statistics back at shutdown. Every text it returns is the
// engine's bytes (Shift-JIS or single-byte, CR LF line ends); front ends convert for display.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/clock.h"
#include "base/diagnostics.h"
#include "base/file_store.h"
#include "base/random_source.h"
#include "compiler/line_source.h"
#include "generator/run_observer.h"

namespace plotwright {

class Engine;

// The side effects a document goes through. Each pointer may be left null for the default:
// the C standard generator, the system clock, no statistics files, no diagnostics. A front
// end that keeps statistics on disk passes a disk file store.
struct DocumentServices {
  RandomSource* random = nullptr;
  Clock* clock = nullptr;
  FileStore* files = nullptr;
  DiagnosticSink* diagnostics = nullptr;
};

// What a load did, besides the text to show.
struct LoadOutcome {
  bool line_limit_reached = false;  // the rest of the file was not read
  int compile_errors = 0;           // number of compile errors reported in the text
  bool generated = false;           // a story was written
  std::string_view text;            // the text to show; valid until the next call on the document
  // Non-empty when the statistics of an earlier scenario, saved before this load replaced
  // them, could not be written (the old file is untouched).
  std::string statistics_error;
  // Non-empty when this scenario's statistics file was refused (it is then neither read nor
  // written) or ignored as too long: why.
  std::string statistics_warning;
};

class Document {
 public:
  explicit Document(DocumentServices services = {});
  ~Document();
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  // "Vell language scenario file is required". Changes nothing.
  static std::string_view new_document_text();

  // Runs the whole load sequence over the opened file; `path` is the file's full path. With
  // `keep_statistics` false (a scenario read from a stream, or one whose statistics path is
  // the scenario itself) no statistics file is read or written for it.
  LoadOutcome load_scenario(LineSource& source, std::string_view path, bool keep_statistics = true);

  // Another story from the compiled scenario, or nullopt (and nothing done) before any load.
  [[nodiscard]] std::optional<std::string_view> regenerate();

  // Writes the statistics file when a load has read it. Call once, at exit. False, with the
  // reason in `error`, when the write failed (the old file is then as it was).
  [[nodiscard]] bool shutdown(std::string* error);
  // Where the stories of later loads and regenerations start: scene `scene`, or, with 0, the
  // start of every story (scene 1, or the first block without a name). A scene that the
  // loaded scenario does not have is taken as 0.
  void set_start_scene(int scene);
  // Tells `observer` (or nobody, with null) what the runs do from now on.
  void set_run_observer(RunObserver* observer);
  // Why the last story's run ended.
  RunEnd last_run_end() const;

  // Leaves the active statistics unwritten: the stories counted in them were never shown
  // (their output failed).
  void drop_statistics();

  // What shutdown would write into the statistics file now, were the file still as the load
  // read it: the counts read plus this run's, each run count raised by one. Changes nothing;
  // empty when no statistics are active.
  std::string statistics_text() const;

  // What the document holds, to look at: the stored lines, the compiled scenario, the counts.
  const Engine& engine() const;

 private:
  std::unique_ptr<Engine> engine_;
};

}  // namespace plotwright
