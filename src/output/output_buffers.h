// The pending line and the story buffer: every byte of text the engine produces passes
// through here. Flushing the pending line ends a story line (CR LF), joins it to the next, or
// starts a paragraph with a full-width space. Both buffers have fixed capacities; overflow is
// silent (bytes beyond the capacity are dropped) and appending never allocates.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "base/limits.h"

namespace plotwright {

// Told of each flush of the pending line before it moves anything: whoever watches learns
// where in the story the flush's bytes begin.
class FlushWatcher {
 public:
  virtual ~FlushWatcher() = default;
  virtual void flushing(int story_length) = 0;
};

class OutputBuffers {
 public:
  OutputBuffers() { reset(); }

  // Appends a byte to the pending line; a zero byte is not appended.
  void pending_put_char(char byte) {
    if (byte != '\0') append_byte(pending_, pending_length_, byte);
  }
  // Appends `length` bytes, none of them zero, as pending_put_char would one by one.
  void pending_put_bytes(const char* bytes, int length);
  // Appends at most 4096 bytes of a text; returns its length, or 0 when it is absent or has
  // no terminator within those bytes.
  int pending_put_text(const char* text);
  // Ends the pending line: moves it into the story (with a paragraph indent when one is due),
  // then a CR LF unless the line is joined to the next.
  void flush_pending_line();

  void story_put_byte(char byte);
  // As story_put_byte, but a zero byte is not appended.
  void story_put_char(char byte);
  int story_put_text(const char* text);
  void story_put_line_end();

  // Empties both buffers; the three flags keep their values.
  void reset();

  std::string_view story() const {
    return {story_.data(), static_cast<std::size_t>(story_length_)};
  }
  std::string_view pending() const {
    return {pending_.data(), static_cast<std::size_t>(pending_length_)};
  }
  int story_length() const { return story_length_; }

  // Tells `watcher` (or nobody, with null) of every flush from now on. Without one a flush
  // pays a single test for it.
  void set_flush_watcher(FlushWatcher* watcher) { watcher_ = watcher; }

  // The line-state flags, 0 or 1; they outlive a run.
  std::int32_t paragraph_flag = 0;
  std::int32_t join_flag = 0;
  std::int32_t line_ended_flag = 0;

 private:
  // Writes the byte at the length, then a terminator after the text; a full buffer keeps its
  // text and the new byte is overwritten by the terminator.
  template <std::size_t N>
  static void append_byte(std::array<char, N>& buffer, std::int32_t& length, char byte) {
    buffer[length] = byte;
    if (length < static_cast<std::int32_t>(N) - 1) ++length;
    buffer[length] = '\0';
  }

  std::array<char, kPendingCapacity> pending_;
  std::int32_t pending_length_ = 0;
  std::array<char, kStoryCapacity> story_;
  std::int32_t story_length_ = 0;
  FlushWatcher* watcher_ = nullptr;
};

}  // namespace plotwright
