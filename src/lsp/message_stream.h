// The protocol's base layer on file descriptors: messages framed by a "Content-Length" header,
// read with a time limit (so that the server can act while the editor is quiet) and written.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace plotwright::lsp {

class MessageReader {
 public:
  enum class Result {
    MESSAGE,     // `body` holds a message's content
    BAD_HEADER,  // a header without a usable Content-Length; `body` says why; it was skipped,
                 // and so is what follows it up to the next header
    TIMEOUT,     // no whole message arrived in time
    END,         // the input ended (or failed)
  };

  explicit MessageReader(int fd) : fd_(fd) {}

  // The next message, waiting at most `timeout_ms` milliseconds for it (-1: as long as it
  // takes). A message already buffered is returned without waiting.
  Result next(std::string& body, int timeout_ms);

 private:
  [[nodiscard]] std::optional<Result> take(std::string& body);
  [[nodiscard]] std::optional<Result> take_header(std::string& body);
  bool resynchronise();
  bool fill();

  int fd_;
  std::string buffer_;
  std::optional<std::size_t> body_length_;  // of the message whose header was read
  std::size_t skipping_ = 0;                // bytes of a refused message still to drop
  bool resynchronising_ = false;            // looking for the header after a refused one
};

// Writes one message with its header; false when the output failed.
[[nodiscard]] bool write_message(int fd, std::string_view body);

}  // namespace plotwright::lsp
