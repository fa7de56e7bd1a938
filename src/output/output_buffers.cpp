// Appending to and flushing the pending line and the story buffer.
#include "output/output_buffers.h"

#include <cstring>

namespace plotwright {

namespace {

// Appends a string through `put`, at most 4096 bytes; the string's length, or 0 when it is
// absent or has no terminator within those bytes.
template <typename Put>
int put_text(const char* text, Put put) {
  if (!text) return 0;
  for (int i = 0; i < kTextCapacity; ++i) {
    if (text[i] == '\0') return i;
    put(text[i]);
  }
  return 0;
}

}  // namespace

void OutputBuffers::reset() {
  pending_length_ = 0;
  pending_[0] = '\0';
  story_length_ = 0;
  story_[0] = '\0';
}

void OutputBuffers::pending_put_bytes(const char* bytes, int length) {
  // A full line keeps its text: what does not fit is dropped, and it stays terminated.
  const std::int32_t room = kPendingCapacity - 1 - pending_length_;
  const std::int32_t taken = length < room ? length : room;
  std::memcpy(pending_.data() + pending_length_, bytes, static_cast<std::size_t>(taken));
  pending_length_ += taken;
  pending_[pending_length_] = '\0';
}

int OutputBuffers::pending_put_text(const char* text) {
  return put_text(text, [this](char byte) { pending_put_char(byte); });
}

void OutputBuffers::story_put_byte(char byte) {
  append_byte(story_, story_length_, byte);
}

void OutputBuffers::story_put_char(char byte) {
  if (byte != '\0') story_put_byte(byte);
}

int OutputBuffers::story_put_text(const char* text) {
  return put_text(text, [this](char byte) { story_put_char(byte); });
}

void OutputBuffers::story_put_line_end() {
  story_put_char('\r');
  story_put_char('\n');
}

void OutputBuffers::flush_pending_line() {
  if (watcher_) watcher_->flushing(story_length_);
  if (pending_length_ > 0) {
    if (paragraph_flag == 1) {
      const auto first = static_cast<unsigned char>(pending_[0]);
      const auto second = static_cast<unsigned char>(pending_[1]);
      const bool indented = (first == 0x81 && second == 0x40) || (first == ' ' && second == ' ');
      if (!indented) {
        story_put_byte('\x81');
        story_put_byte('\x40');
      }
      paragraph_flag = 0;
    }
    // The pending text holds no zero byte, so a bulk copy equals appending byte by byte: what
    // does not fit is dropped and the story stays terminated.
    const std::int32_t room = kStoryCapacity - 1 - story_length_;
    const std::int32_t taken = pending_length_ < room ? pending_length_ : room;
    std::memcpy(story_.data() + story_length_, pending_.data(), static_cast<std::size_t>(taken));
    story_length_ += taken;
    story_[story_length_] = '\0';
    pending_length_ = 0;
    pending_[0] = '\0';
  }
  if (join_flag == 0) {
    story_put_byte('\r');
    story_put_byte('\n');
    line_ended_flag = 1;
    return;
  }
  join_flag = 0;
  line_ended_flag = 0;
}

}  // namespace plotwright
