// Small POSIX file helpers shared by the disk file store and the scenario reader: an owned
// descriptor and a bounded read loop.
#pragma once

#include <cstddef>
#include <string>

namespace plotwright::platform {

// Closes its descriptor when it goes.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() { reset(); }
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
      reset();
      fd_ = other.release();
    }
    return *this;
  }

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }
  void reset();

 private:
  int fd_ = -1;
};

// Reads from the descriptor's current position until its end, appending to `out`, but no more
// than `limit` + 1 bytes in all, so that a caller can tell a longer stream. Returns 0, or the
// errno of a failed read.
int read_up_to(int fd, std::size_t limit, std::string& out);

// "PATH: reason" for an errno value.
std::string describe_failure(const std::string& path, int error);

}  // namespace plotwright::platform
