// The descriptor and read helpers.
#include "platform/posix_file.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace plotwright::platform {

void UniqueFd::reset() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

int read_up_to(int fd, std::size_t limit, std::string& out) {
  const std::size_t stop = out.size() + limit + 1;
  char chunk[65536];
  while (out.size() < stop) {
    const std::size_t want = std::min(sizeof chunk, stop - out.size());
    const ssize_t got = ::read(fd, chunk, want);
    if (got == 0) return 0;
    if (got < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    out.append(chunk, static_cast<std::size_t>(got));
  }
  return 0;
}

std::string describe_failure(const std::string& path, int error) {
  return path + ": " + std::strerror(error);
}

}  // namespace plotwright::platform
