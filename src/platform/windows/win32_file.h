// Small Win32 helpers shared by the Windows disk file store, scenario reader and process set-up:
// UTF-8 paths as UTF-16, an owned handle, a bounded read loop, file identity, and messages.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace plotwright::platform {

// UTF-16 for the wide-character APIs from UTF-8 and back. The program keeps every path and
// argument in UTF-8, as on other systems; only these calls see UTF-16.
std::wstring to_wide(std::string_view utf8);
std::string to_utf8(std::wstring_view wide);

// Closes its handle when it goes.
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      reset();
      handle_ = other.release();
    }
    return *this;
  }

  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  HANDLE release() {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return handle;
  }
  void reset();

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// Reads from the handle's current position until its end (a closed pipe is an end too),
// appending to `out`, but no more than `limit` + 1 bytes in all, so that a caller can tell a
// longer stream. Returns 0, or the error of a failed read.
DWORD read_up_to(HANDLE handle, std::size_t limit, std::string& out);

// Writes all of `content` from the handle's current position. Returns 0 or the error.
DWORD write_all(HANDLE handle, std::string_view content);

// Whether two handles' files are one file: the same volume and file index.
bool same_file(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b);

// The reason for a Win32 error, in the words the POSIX build uses for the common ones
// ("No such file or directory", "Permission denied"), else the system's own message.
std::string describe_error(DWORD error);

// "PATH: reason" for a Win32 error.
std::string describe_failure(const std::string& path, DWORD error);

}  // namespace plotwright::platform
