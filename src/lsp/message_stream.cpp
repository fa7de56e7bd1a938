// Framing, buffering and waiting on standard input and output.
#include "lsp/message_stream.h"

#include <algorithm>
#include <charconv>
#include <chrono>

#include "platform/byte_stream.h"

namespace plotwright::lsp {

namespace {

constexpr std::string_view kHeaderEnd = "\r\n\r\n";
constexpr std::size_t kLongestHeader = 64 * 1024;
// Twice the largest scenario file, for JSON's escapes; a longer message is dropped unread.
constexpr std::size_t kLongestMessage = std::size_t{1} << 30;
constexpr std::size_t kChunk = 1 << 16;

constexpr std::string_view kContentLength = "content-length:";

// Whether `text` begins with `lower_case_name`, in any mix of capitals.
bool starts_with_name(std::string_view text, std::string_view lower_case_name) {
  if (text.size() < lower_case_name.size()) return false;
  for (std::size_t i = 0; i < lower_case_name.size(); ++i) {
    const char c = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] + 32) : text[i];
    if (c != lower_case_name[i]) return false;
  }
  return true;
}

// The value of Content-Length in a header block, or nullopt when there is none that reads.
std::optional<std::size_t> content_length(std::string_view header) {
  while (!header.empty()) {
    const std::size_t end = std::min(header.find("\r\n"), header.size());
    std::string_view line = header.substr(0, end);
    header.remove_prefix(std::min(end + 2, header.size()));
    if (!starts_with_name(line, kContentLength)) continue;
    line.remove_prefix(kContentLength.size());
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    std::size_t value = 0;
    const auto [stop, failure] = std::from_chars(line.data(), line.data() + line.size(), value);
    if (line.empty() || failure != std::errc() || stop != line.data() + line.size()) break;
    return value;
  }
  return std::nullopt;
}

// Where "Content-Length:" first begins in `text`, in any mix of capitals; npos when nowhere.
std::size_t find_content_length(std::string_view text) {
  for (std::size_t at = text.find_first_of("cC"); at != std::string_view::npos;
       at = text.find_first_of("cC", at + 1)) {
    if (starts_with_name(text.substr(at), kContentLength)) return at;
  }
  return std::string_view::npos;
}

}  // namespace

MessageReader::Result MessageReader::next(std::string& body, int timeout_ms) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeout_ms, 0));
  for (;;) {
    if (const std::optional<Result> taken = take(body)) return *taken;
    int wait = -1;
    if (timeout_ms >= 0) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
      wait = static_cast<int>(std::max<long long>(0, left.count()));
    }
    const platform::InputWait ready = platform::wait_for_input(fd_, wait);
    if (ready == platform::InputWait::TIMEOUT) return Result::TIMEOUT;
    if (ready == platform::InputWait::FAILED || !fill()) return Result::END;
  }
}

bool MessageReader::fill() {
  char chunk[kChunk];
  const long got = platform::read_some(fd_, chunk, sizeof chunk);
  if (got <= 0) return false;
  std::size_t keep = static_cast<std::size_t>(got);
  const std::size_t dropped = std::min(skipping_, keep);
  skipping_ -= dropped;
  buffer_.append(chunk + dropped, keep - dropped);
  return true;
}

std::optional<MessageReader::Result> MessageReader::take(std::string& body) {
  if (!body_length_) {
    if (std::optional<Result> refused = take_header(body)) return refused;
    if (!body_length_) return std::nullopt;
  }
  if (buffer_.size() < *body_length_) return std::nullopt;
  body.assign(buffer_, 0, *body_length_);
  buffer_.erase(0, *body_length_);
  body_length_.reset();
  return Result::MESSAGE;
}

// Reads header blocks while whole ones are buffered, until one gives the next body's length.
// A result only for a refused header, and only for the first of a run of them: the bytes after
// it (the body it announced, if any) are dropped up to the next "Content-Length:", where the
// next message's header starts, so that one bad header costs one message, not the session.
std::optional<MessageReader::Result> MessageReader::take_header(std::string& body) {
  for (;;) {
    if (resynchronising_ && !resynchronise()) return std::nullopt;
    const std::size_t end = buffer_.find(kHeaderEnd);
    if (end == std::string::npos && buffer_.size() <= kLongestHeader) return std::nullopt;
    const std::optional<std::size_t> length =
        end == std::string::npos ? std::nullopt
                                 : content_length(std::string_view(buffer_).substr(0, end));
    if (!length) {
      const bool first = !resynchronising_;
      resynchronising_ = true;
      buffer_.erase(0, 1);  // past this header's start, whatever it turns out to be
      if (!first) continue;
      body = end == std::string::npos ? "a header longer than 64 KiB"
                                      : "a header without a Content-Length";
      return Result::BAD_HEADER;
    }
    buffer_.erase(0, end + kHeaderEnd.size());
    resynchronising_ = false;
    if (*length > kLongestMessage) {
      const std::size_t dropped = std::min(*length, buffer_.size());
      buffer_.erase(0, dropped);
      skipping_ = *length - dropped;
      body = "a message longer than 1 GiB";
      return Result::BAD_HEADER;
    }
    body_length_ = *length;
    return std::nullopt;
  }
}

// Drops what comes before the next "Content-Length:"; false while none is buffered (keeping the
// buffer's end, which may be the start of one).
bool MessageReader::resynchronise() {
  const std::size_t at = find_content_length(buffer_);
  if (at != std::string::npos) {
    buffer_.erase(0, at);
    return true;
  }
  buffer_.erase(0, buffer_.size() - std::min(buffer_.size(), kContentLength.size() - 1));
  return false;
}

bool write_message(int fd, std::string_view body) {
  std::string message = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  message.append(body);
  return platform::write_all(fd, message);
}

}  // namespace plotwright::lsp
