// The server's loop: wait for a message or for the next debounced publish, whichever is first.
#include "lsp/language_server.h"

#include <ostream>

#include "lsp/message_stream.h"
#include "lsp/server.h"
#include "platform/byte_stream.h"

namespace plotwright::lsp {

namespace {

bool send(int output, std::vector<std::string>& messages) {
  for (const std::string& message : messages) {
    if (!write_message(output, message)) return false;
  }
  messages.clear();
  return true;
}

// Milliseconds until `due`, or -1 (no limit) when nothing is waiting.
int wait_for(const std::optional<Server::Clock::time_point>& due, Server::Clock::time_point now) {
  if (!due) return -1;
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(*due - now).count();
  return static_cast<int>(left < 0 ? 0 : left);
}

}  // namespace

int run_language_server(int input, int output, std::ostream& err) {
  platform::ignore_broken_pipes();  // a closed editor is a failed write, not a signal
  std::optional<Cp932Codec> codec;
  std::string error;
  if (!Cp932Codec::open(codec, &error)) {
    err << "plotwright: " << error << '\n';
    return 2;
  }
  Server server(*codec);
  MessageReader reader(input);
  std::vector<std::string> out;
  std::string body;
  while (!server.exited()) {
    server.publish_due(Server::Clock::now(), out);
    if (!send(output, out)) return 1;
    const MessageReader::Result result =
        reader.next(body, wait_for(server.next_due(), Server::Clock::now()));
    if (result == MessageReader::Result::END) break;
    if (result == MessageReader::Result::MESSAGE) server.receive(body, Server::Clock::now(), out);
    if (result == MessageReader::Result::BAD_HEADER) server.refuse(body, out);
    if (!send(output, out)) return 1;
  }
  return server.exit_status();
}

}  // namespace plotwright::lsp
