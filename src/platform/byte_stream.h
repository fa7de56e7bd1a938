// A descriptor's bytes, read and written, and input waited for with a time limit, the same way
// on every host: the transport of the language server on standard input and output.
#pragma once

#include <cstddef>
#include <string_view>

namespace plotwright::platform {

enum class InputWait {
  READY,    // bytes, or the input's end, can be read without waiting
  TIMEOUT,  // nothing came in time
  FAILED,   // the descriptor cannot be waited on
};

// Waits until `fd` can be read, for at most `timeout_ms` milliseconds (-1: as long as it
// takes). POSIX systems poll(); on Windows a thread reads the input ahead, and the wait is for
// what it has read: there, read `fd` through read_some() alone once it has been waited on.
InputWait wait_for_input(int fd, int timeout_ms);

// Reads at most `size` bytes: how many, 0 at the input's end, -1 when the read failed.
long read_some(int fd, char* buffer, std::size_t size);

// Writes all of `bytes`; false when the output failed.
[[nodiscard]] bool write_all(int fd, std::string_view bytes);

// Makes a write to a pipe whose reader has gone fail instead of ending the program (POSIX's
// SIGPIPE; Windows has no such signal).
void ignore_broken_pipes();

}  // namespace plotwright::platform
