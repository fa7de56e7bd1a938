// The Win32 text, handle, read and message helpers.
#include "platform/windows/win32_file.h"

#include <algorithm>

namespace plotwright::platform {

std::wstring to_wide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int size = static_cast<int>(utf8.size());
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  const int units = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), size);
  wide.resize(static_cast<std::size_t>(std::max(units, 0)));
  return wide;
}

std::string to_utf8(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  std::string utf8(wide.size() * 3, '\0');
  const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(),
                                          static_cast<int>(utf8.size()), nullptr, nullptr);
  utf8.resize(static_cast<std::size_t>(std::max(bytes, 0)));
  return utf8;
}

void UniqueHandle::reset() {
  if (valid()) ::CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
}

DWORD read_up_to(HANDLE handle, std::size_t limit, std::string& out) {
  const std::size_t stop = out.size() + limit + 1;
  char chunk[65536];
  while (out.size() < stop) {
    const auto want = static_cast<DWORD>(std::min(sizeof chunk, stop - out.size()));
    DWORD got = 0;
    if (!::ReadFile(handle, chunk, want, &got, nullptr)) {
      const DWORD error = ::GetLastError();
      return error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF ? 0 : error;
    }
    if (got == 0) return 0;
    out.append(chunk, got);
  }
  return 0;
}

DWORD write_all(HANDLE handle, std::string_view content) {
  while (!content.empty()) {
    const auto want = static_cast<DWORD>(std::min<std::size_t>(content.size(), 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(handle, content.data(), want, &written, nullptr)) return ::GetLastError();
    if (written == 0) return ERROR_WRITE_FAULT;
    content.remove_prefix(written);
  }
  return 0;
}

bool same_file(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

namespace {

std::string system_message(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message(text != nullptr ? text : L"", length);
  if (text != nullptr) ::LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                              message.back() == L'.' || message.back() == L' ')) {
    message.pop_back();
  }
  return message.empty() ? "Windows error " + std::to_string(error) : to_utf8(message);
}

}  // namespace

std::string describe_error(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
      return "No such file or directory";
    case ERROR_ACCESS_DENIED:
      return "Permission denied";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return "is in use by another program";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return "No space left on device";
    case ERROR_WRITE_PROTECT:
      return "Read-only file system";
    default:
      return system_message(error);
  }
}

std::string describe_failure(const std::string& path, DWORD error) {
  return path + ": " + describe_error(error);
}

}  // namespace plotwright::platform
