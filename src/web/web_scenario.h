// A scenario as the web package offers it: compiled once for its diagnostics, then told as
// many times as asked, each time as one run of the command-line program, its statistics file
// kept in memory or, as with --no-stats, none.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "authoring/checked_scenario.h"
#include "authoring/story_sources.h"
#include "encoding/cp932_codec.h"
#include "generator/run_observer.h"
#include "session/story_teller.h"

namespace plotwright::web {

// The most bytes (UTF-8) of stories one tell() returns. A story holds at most a few hundred
// kilobytes, but a count of thousands of long ones would take more memory than a page may
// have, and running out of it leaves the WebAssembly module unusable.
inline constexpr std::size_t kMaxStoriesBytes = std::size_t{64} << 20;  // 64 MiB

// Why a run told no story, as the command-line program reports it, or that its stories would
// pass kMaxStoriesBytes.
struct RunFailure {
  int status = 0;           // the program's exit status: 1 (the scenario's messages), 2 (encoding)
  std::string message;      // UTF-8, without a final line end
  bool over_limit = false;  // the stories passed kMaxStoriesBytes; `status` is 0
};

// One story with what the author tools know of it.
struct TracedStory {
  std::string text;                     // as tell() gives it
  std::vector<StoryLineSource> lines;   // by story line: the scenario line that wrote it
  std::vector<std::string> line_words;  // by story line: the built-in scene's word, or empty
  std::string trace;                    // trace_json(): the path, the conditions' readings
  std::string cut_short;                // the limit that ended the run early, or empty
};

class Scenario {
 public:
  // A scenario file's bytes, read as the command line reads a file (valid UTF-8 as UTF-8,
  // anything else as Shift-JIS), and the statistics file's content to start from (empty: no
  // file yet), or nullopt to keep no statistics. False, with the message in `error`, only for
  // a file longer than any scenario.
  [[nodiscard]] static bool compile(Cp932Codec& codec, std::string_view file,
                                    std::optional<std::string> statistics,
                                    std::unique_ptr<Scenario>& scenario, std::string* error);

  // What `plotwright check` reports, with positions.
  const std::vector<AuthorDiagnostic>& diagnostics() const { return checked_->diagnostics(); }

  // One run of `plotwright --seed SEED --count COUNT` whose statistics file holds statistics()
  // (or of `--no-stats`, without statistics): the stories as it prints them (UTF-8, LF line
  // ends, each with a final line end), and the statistics afterwards as it would save them.
  // `notes` gets what it would note about the stories after "plotwright: note: " ("story 2 was
  // cut short by ..."). False, with `failure` filled and nothing counted, when it would show
  // messages instead of a story, or as soon as the stories pass kMaxStoriesBytes.
  [[nodiscard]] bool tell(std::uint32_t seed, int count, std::vector<std::string>& stories,
                          std::vector<std::string>& notes, RunFailure& failure);

  // One run of `plotwright --seed SEED [--start START] --trace` over statistics() as tell()
  // runs it (a start "" starts where every story does), with its lines' sources. False, with
  // `failure` filled, when it tells no story or START names no block (status 2, as the
  // command line's usage error).
  [[nodiscard]] bool tell_traced(std::uint32_t seed, const std::string& start, TracedStory& story,
                                 RunFailure& failure);

  // What `plotwright graph --format dot` (or, with `mermaid`, `--format mermaid`) writes for the
  // scenario as written, the picture headed by `title` (the command line's file name); with
  // `source_lines`, the DOT's nodes carry their blocks' lines (graph_to_dot).
  std::string graph(const std::string& title, bool mermaid, bool source_lines = false) const;

  // What `plotwright coverage --format json --runs RUNS --seed SEED` writes, the report naming
  // `file`: the stories start from statistics() and leave them as they are. With `graph`, also
  // what `plotwright graph --coverage RUNS --seed SEED` writes for the same stories, headed by
  // `file`, its nodes carrying their lines. False, with `failure` filled, when the scenario
  // tells no story.
  [[nodiscard]] bool coverage(std::uint32_t seed, int runs, const std::string& file,
                              std::string& report, RunFailure& failure,
                              std::string* graph = nullptr);

  // The statistics file's content now: as given, or as the last run saved it; nullopt when the
  // scenario keeps none.
  const std::optional<std::string>& statistics() const { return statistics_; }

 private:
  Scenario(Cp932Codec& codec, std::unique_ptr<CheckedScenario> checked,
           std::optional<std::string> statistics);
  // A teller over the statistics this scenario keeps in memory (none when it keeps none), the
  // load of this scenario into it, and the end of its run with the statistics it saved kept.
  std::unique_ptr<session::StoryTeller> make_teller(std::uint32_t seed, RunObserver* observer);
  session::Story load(session::StoryTeller& teller) const;
  void keep_statistics(session::StoryTeller& teller);

  Cp932Codec& codec_;
  std::unique_ptr<CheckedScenario> checked_;
  std::string encoding_error_;  // the first character with no Shift-JIS form, when there is one
  std::optional<std::string> statistics_;
};

}  // namespace plotwright::web
