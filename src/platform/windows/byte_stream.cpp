// Reading, writing and waiting on descriptors on Windows. Windows cannot wait on a pipe with a
// time limit (and Wine's PeekNamedPipe does not look into the pipes it is given), so a thread
// reads each input that is waited on and the waits are on what it has read.
#include "platform/byte_stream.h"

#include <io.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace plotwright::platform {

namespace {

constexpr std::size_t kChunk = 1 << 16;

// The bytes of one input, read ahead by a thread of their own, which blocks in _read while
// nothing comes. The thread ends with the input, or with the process.
class InputPump {
 public:
  explicit InputPump(int fd) : fd_(fd) {
    std::thread([this] { pump(); }).detach();
  }

  InputWait wait(int timeout_ms) {
    std::unique_lock lock(mutex_);
    const auto ready = [this] { return !bytes_.empty() || ended_; };
    if (timeout_ms < 0) {
      arrived_.wait(lock, ready);
      return InputWait::READY;
    }
    return arrived_.wait_for(lock, std::chrono::milliseconds(timeout_ms), ready)
               ? InputWait::READY
               : InputWait::TIMEOUT;
  }

  long take(char* buffer, std::size_t size) {
    std::unique_lock lock(mutex_);
    arrived_.wait(lock, [this] { return !bytes_.empty() || ended_; });
    if (bytes_.empty()) return failed_ ? -1 : 0;
    const std::size_t taken = std::min(size, bytes_.size());
    std::copy_n(bytes_.data(), taken, buffer);
    bytes_.erase(0, taken);
    return static_cast<long>(taken);
  }

 private:
  void pump() {
    char chunk[kChunk];
    for (;;) {
      const int got = ::_read(fd_, chunk, sizeof chunk);
      const std::lock_guard lock(mutex_);
      if (got > 0) bytes_.append(chunk, static_cast<std::size_t>(got));
      ended_ = got <= 0;
      failed_ = got < 0;
      arrived_.notify_all();
      if (ended_) return;
    }
  }

  int fd_;
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::string bytes_;
  bool ended_ = false;
  bool failed_ = false;
};

// The pump of a descriptor, started the first time it is read or waited on. Pumps live as long
// as the process: their threads may still be blocked in a read when it ends.
InputPump& pump_of(int fd) {
  static std::mutex mutex;
  static auto* pumps = new std::map<int, std::unique_ptr<InputPump>>();
  const std::lock_guard lock(mutex);
  std::unique_ptr<InputPump>& pump = (*pumps)[fd];
  if (!pump) pump = std::make_unique<InputPump>(fd);
  return *pump;
}

}  // namespace

InputWait wait_for_input(int fd, int timeout_ms) {
  if (::_get_osfhandle(fd) == -1) return InputWait::FAILED;
  return pump_of(fd).wait(timeout_ms);
}

long read_some(int fd, char* buffer, std::size_t size) {
  return pump_of(fd).take(buffer, size);
}

bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const auto want = static_cast<unsigned>(std::min<std::size_t>(bytes.size(), 1u << 30));
    const int n = ::_write(fd, bytes.data(), want);
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

void ignore_broken_pipes() {}

}  // namespace plotwright::platform
