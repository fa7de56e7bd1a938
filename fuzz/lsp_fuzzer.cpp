// Fuzz target: one language server session from arbitrary bytes on its input, as an editor
// would send them: headers, bodies and any sequence of requests and notifications, read by the
// server's own reader from a descriptor. Time moves on with every message, so that held-back
// diagnostics go out as well. Everything the server writes must be JSON.
#include <sys/mman.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "encoding/cp932_codec.h"
#include "lsp/message_stream.h"
#include "lsp/server.h"
#include "platform/posix_file.h"

namespace {

using plotwright::lsp::MessageReader;
using plotwright::lsp::Server;

void check_sent(std::vector<std::string>& out) {
  for (const std::string& message : out) {
    if (!nlohmann::json::accept(message)) std::abort();
  }
  out.clear();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace plotwright;
  static std::optional<Cp932Codec> codec;  // opened once: the table is the same for every run
  if (!codec && !Cp932Codec::open(codec, nullptr)) std::abort();
  const platform::UniqueFd input(::memfd_create("lsp-input", MFD_CLOEXEC));
  if (!input.valid() || ::write(input.get(), data, size) != static_cast<ssize_t>(size) ||
      ::lseek(input.get(), 0, SEEK_SET) != 0) {
    std::abort();
  }
  Server server(*codec);
  MessageReader reader(input.get());
  Server::Clock::time_point now{};
  std::vector<std::string> out;
  std::string body;
  while (!server.exited()) {
    const MessageReader::Result result = reader.next(body, 0);
    if (result == MessageReader::Result::END) break;
    if (result == MessageReader::Result::MESSAGE) server.receive(body, now, out);
    if (result == MessageReader::Result::BAD_HEADER) server.refuse(body, out);
    now += Server::kSettleTime / 2;
    server.publish_due(now, out);
    check_sent(out);
  }
  server.publish_due(now + Server::kSettleTime, out);
  check_sent(out);
  return 0;
}
