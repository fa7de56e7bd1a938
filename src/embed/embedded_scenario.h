// What stands behind one handle of the C interface (include/plotwright/plotwright.h): the opened
// scenario's bytes, its statistics (on disk or in memory), the document of the current run and
// the texts handed back. Everything is owned here; nothing is shared between handles.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "authoring/checked_scenario.h"
#include "base/clock.h"
#include "base/file_store.h"
#include "controller/document.h"
#include "encoding/cp932_codec.h"
#include "encoding/scenario_encoding.h"
#include "platform/disk_file_store.h"
#include "plotwright/plotwright.h"

namespace plotwright::embed {

// The clock of a run: the seed it was asked for, or the system's time.
class RunClock final : public Clock {
 public:
  void use_seed(std::uint32_t seed) { seed_ = seed; }
  void use_system_time() { seed_.reset(); }
  std::int64_t now_seconds() override { return seed_ ? *seed_ : system_.now_seconds(); }

 private:
  std::optional<std::uint32_t> seed_;
  SystemClock system_;
};

// Each operation returns the status of the C interface and leaves its message in message().
// Every text it hands back ends in a NUL byte, for C.
class EmbeddedScenario {
 public:
  EmbeddedScenario();
  ~EmbeddedScenario();
  EmbeddedScenario(const EmbeddedScenario&) = delete;
  EmbeddedScenario& operator=(const EmbeddedScenario&) = delete;

  plotwright_status open_file(const std::string& path, plotwright_encoding encoding,
                              unsigned flags);
  plotwright_status open_text(std::string_view text, plotwright_encoding encoding);
  // `text` is UTF-8, LF line ends, a final line end; valid until the next operation.
  plotwright_status story(std::uint32_t seed, std::string_view& text);
  plotwright_status regenerate(std::string_view& text);
  plotwright_status raw_story(std::string_view& bytes);
  plotwright_status statistics(std::string_view& text);
  plotwright_status set_statistics(std::string_view text);
  plotwright_status save_statistics();
  plotwright_status diagnostics(const plotwright_diagnostic*& list, std::size_t& count);

  // Ends the current run, saving statistics kept on disk; a failure goes unreported. Call it
  // before the handle goes: the destructor saves nothing, since it must not throw.
  void close();

  const std::string& message() const { return message_; }
  // Starts an operation: its message is empty until it says something.
  void clear_message() { message_.clear(); }
  // Fails the current operation with `status` and `message`.
  plotwright_status fail(plotwright_status status, std::string message);

 private:
  // The opened scenario.
  struct Opened {
    std::string file_bytes;    // as read, for the diagnostics
    std::string engine_bytes;  // Shift-JIS, for the runs
    InputEncoding encoding = InputEncoding::AUTO;
    std::string path;  // the document's path: the statistics go beside it
    bool on_disk = false;
    bool keep_statistics = true;
  };

  plotwright_status open_bytes(std::string bytes, plotwright_encoding encoding, Opened opened);
  plotwright_status start_run(std::string_view& text);
  plotwright_status show(bool generated, std::string_view engine_text, std::string_view& text);
  std::string end_run(bool save);
  bool kept_on_disk() const;
  FileStore& files();
  std::string statistics_path() const;
  const CheckedScenario* checked();
  int record_count();
  bool offers_choice();
  void warn(const std::string& warning);

  std::optional<Cp932Codec> codec_;
  RunClock clock_;
  MemoryFileStore memory_;
  platform::DiskFileStore disk_;
  std::optional<Opened> opened_;
  std::unique_ptr<Document> run_;  // the current run's document, or the last one's
  bool run_active_ = false;        // its statistics are still to be saved
  std::string raw_;                // the last story's engine bytes
  std::string text_;               // the last text handed back
  std::unique_ptr<CheckedScenario> checked_;
  std::vector<plotwright_diagnostic> diagnostics_;
  std::string message_;
};

}  // namespace plotwright::embed
