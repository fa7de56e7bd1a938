// What stands behind one handle of the C interface (include/plotwright/plotwright.h): the opened
// scenario, the session's story teller (its statistics on disk or in memory, the document of
// the current run) and the texts handed back. Everything is owned here; nothing is shared
// between handles.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "authoring/checked_scenario.h"
#include "base/file_store.h"
#include "encoding/cp932_codec.h"
#include "plotwright/plotwright.h"
#include "session/opened_scenario.h"
#include "session/story_teller.h"

namespace plotwright::embed {

// The engine's word for the C severity `value` (read as an integer: C lets any through), or null
// when it names none.
const char* severity_name(std::underlying_type_t<plotwright_severity> value);

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
  // The same for a failure thrown: when even the message cannot be stored, it stays empty.
  plotwright_status fail_quietly(plotwright_status status, const char* message) noexcept;

 private:
  plotwright_status opened(session::OpenedScenario scenario, plotwright_encoding encoding,
                           bool on_disk);
  plotwright_status start_run(std::string_view& text);
  plotwright_status show(const session::Story& story, std::string_view& text);
  [[nodiscard]] bool end_run(bool save, std::string* error);
  bool kept_on_disk() const;
  FileStore& files();
  std::string statistics_path() const;
  const CheckedScenario* checked();
  int record_count();
  bool offers_choice();
  void warn(const std::string& warning);
  void warn_notes();

  std::optional<Cp932Codec> codec_;
  std::optional<session::OpenedScenario> opened_;
  bool on_disk_ = false;  // the statistics are kept beside the scenario's file
  std::unique_ptr<session::StoryTeller> teller_;
  bool told_ = false;  // a story (or the messages) has been told
  std::string raw_;    // the last story's engine bytes
  std::string text_;   // the last text handed back
  std::unique_ptr<CheckedScenario> checked_;
  std::vector<plotwright_diagnostic> diagnostics_;
  std::string message_;
};

}  // namespace plotwright::embed
