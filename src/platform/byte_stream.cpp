// Reading, writing and waiting on descriptors on POSIX systems: poll(), read(), write().
#include "platform/byte_stream.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace plotwright::platform {

InputWait wait_for_input(int fd, int timeout_ms) {
  for (;;) {
    struct pollfd input {
      fd, POLLIN, 0
    };
    const int ready = ::poll(&input, 1, timeout_ms);
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) return InputWait::FAILED;
    return ready == 0 ? InputWait::TIMEOUT : InputWait::READY;
  }
}

long read_some(int fd, char* buffer, std::size_t size) {
  ssize_t got;
  do {
    got = ::read(fd, buffer, size);
  } while (got < 0 && errno == EINTR);
  return static_cast<long>(got);
}

bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

void ignore_broken_pipes() {
  std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace plotwright::platform
