// The language server's core, apart from any input and output: the protocol's life cycle, the
// dispatch of requests and notifications to the documents they name, and the publishing of
// diagnostics, held back while the text keeps changing.
#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lsp/open_document.h"

namespace plotwright::lsp {

class Server {
 public:
  using Clock = std::chrono::steady_clock;
  // How long a document's text must rest after a change before its diagnostics go out: a
  // burst of typing is analysed once.
  static constexpr std::chrono::milliseconds kSettleTime{200};

  explicit Server(Cp932Codec& codec) : codec_(codec) {}

  // Handles one message's content; the messages to send go to `out`, in order, as text. Bad input
  // of any kind is answered (requests) or dropped (notifications), never fatal.
  void receive(std::string_view body, Clock::time_point now, std::vector<std::string>& out);
  // A message whose header was refused (`reason`): answered as a parse error.
  void refuse(const std::string& reason, std::vector<std::string>& out);
  // Publishes the diagnostics of the documents whose text has rested long enough.
  void publish_due(Clock::time_point now, std::vector<std::string>& out);
  // When the next of those is due, if any is waiting.
  std::optional<Clock::time_point> next_due() const;

  bool exited() const { return state_ == State::EXITED; }
  // 0 when `shutdown` came before `exit` (or before the input ended), else 1.
  int exit_status() const { return shut_down_ ? 0 : 1; }

 private:
  enum class State { STARTING, RUNNING, SHUT_DOWN, EXITED };
  struct Tracked {
    OpenDocument document;
    std::optional<Clock::time_point> due;  // a publish waiting for the text to rest
  };

  void request(const json& id, const std::string& method, const json& params,
               std::vector<std::string>& out);
  std::string answer(const std::string& method, const json& params);
  void notify(const std::string& method, const json& params, Clock::time_point now,
              std::vector<std::string>& out);
  void did_open(const json& params, std::vector<std::string>& out);
  void did_change(const json& params, Clock::time_point now);
  void did_close(const json& params, std::vector<std::string>& out);
  OpenDocument& document(const json& params);

  Cp932Codec& codec_;
  State state_ = State::STARTING;
  bool shut_down_ = false;
  std::map<std::string, Tracked> documents_;
};

}  // namespace plotwright::lsp
