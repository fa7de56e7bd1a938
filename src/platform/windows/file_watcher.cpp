// Following a file on Windows: ReadDirectoryChangesW on its folder, and Ctrl+C, Ctrl+Break or a
// closed console through a console control handler that sets an event, so that one wait takes
// both and a stop request never interrupts a story half written.
#include "platform/file_watcher.h"

#include <windows.h>

#include <chrono>
#include <optional>

#include "platform/windows/win32_file.h"

namespace plotwright::platform {

namespace {

using Clock = std::chrono::steady_clock;

// What an editor's save does to a file: written in place, or a new file renamed over it (or
// the old one removed first).
constexpr DWORD kChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE |
                           FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_ATTRIBUTES;

// The stop requests, set by the console's handler thread. The handler is a plain function, so
// the event is the process's one.
HANDLE stop_requests() {
  static const HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  return event;
}

BOOL WINAPI take_stop_request(DWORD kind) {
  if (kind != CTRL_C_EVENT && kind != CTRL_BREAK_EVENT && kind != CTRL_CLOSE_EVENT) return FALSE;
  ::SetEvent(stop_requests());
  return TRUE;
}

enum class Batch { NOTHING, CHANGED, LOST };

class DirectoryWatcher final : public FileWatcher {
 public:
  DirectoryWatcher(UniqueHandle folder, UniqueHandle arrived, std::wstring name, int quiet)
      : folder_(std::move(folder)),
        arrived_(std::move(arrived)),
        name_(std::move(name)),
        quiet_(quiet) {
    ::ResetEvent(stop_requests());
    ::SetConsoleCtrlHandler(take_stop_request, TRUE);
  }

  ~DirectoryWatcher() override {
    ::CancelIoEx(folder_.get(), &overlapped_);
    DWORD ignored = 0;
    ::GetOverlappedResult(folder_.get(), &overlapped_, &ignored, TRUE);
    ::SetConsoleCtrlHandler(take_stop_request, FALSE);
    ::ResetEvent(stop_requests());
  }

  WatchEvent wait(std::string* error) override;
  bool pause(int milliseconds) override {
    return ::WaitForSingleObject(stop_requests(), static_cast<DWORD>(milliseconds)) ==
           WAIT_OBJECT_0;
  }

  // Asks for the folder's next changes; false when the folder cannot be watched.
  bool listen() {
    overlapped_ = OVERLAPPED{};
    overlapped_.hEvent = arrived_.get();
    return ::ReadDirectoryChangesW(folder_.get(), buffer_, sizeof buffer_, FALSE, kChanges, nullptr,
                                   &overlapped_, nullptr);
  }

 private:
  Batch take_changes();

  UniqueHandle folder_;
  UniqueHandle arrived_;
  std::wstring name_;  // the file's name in its folder
  int quiet_;
  OVERLAPPED overlapped_{};
  alignas(DWORD) char buffer_[16384];
};

// Reads the changes that arrived and listens again: whether any of them concerns the file. A
// list that overflowed (no entries) may have held it.
Batch DirectoryWatcher::take_changes() {
  DWORD bytes = 0;
  if (!::GetOverlappedResult(folder_.get(), &overlapped_, &bytes, FALSE)) return Batch::LOST;
  Batch batch = bytes == 0 ? Batch::CHANGED : Batch::NOTHING;
  for (DWORD at = 0; at < bytes;) {
    const auto* entry = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(buffer_ + at);
    const std::wstring_view name(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
    if (::CompareStringOrdinal(name.data(), static_cast<int>(name.size()), name_.data(),
                               static_cast<int>(name_.size()), TRUE) == CSTR_EQUAL) {
      batch = Batch::CHANGED;
    }
    if (entry->NextEntryOffset == 0) break;
    at += entry->NextEntryOffset;
  }
  return listen() ? batch : Batch::LOST;
}

WatchEvent DirectoryWatcher::wait(std::string* error) {
  std::optional<Clock::time_point> quiet_until;
  for (;;) {
    DWORD timeout = INFINITE;
    if (quiet_until) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(*quiet_until - Clock::now());
      timeout = left.count() > 0 ? static_cast<DWORD>(left.count()) : 0;
    }
    const HANDLE events[2] = {stop_requests(), arrived_.get()};
    const DWORD ready = ::WaitForMultipleObjects(2, events, FALSE, timeout);
    if (ready == WAIT_OBJECT_0) return WatchEvent::STOPPED;
    if (ready == WAIT_TIMEOUT) return WatchEvent::CHANGED;
    const Batch batch = ready == WAIT_OBJECT_0 + 1 ? take_changes() : Batch::LOST;
    if (batch == Batch::LOST) {
      if (error) *error = "its folder can no longer be watched (removed or moved?)";
      return WatchEvent::FAILED;
    }
    if (batch == Batch::CHANGED) quiet_until = Clock::now() + std::chrono::milliseconds(quiet_);
  }
}

}  // namespace

std::unique_ptr<FileWatcher> watch_file(const std::string& path, int quiet_milliseconds,
                                        std::string* error) {
  const std::wstring wide = to_wide(path);
  const std::size_t separator = wide.find_last_of(L"\\/:");
  std::wstring folder = separator == std::wstring::npos ? L"." : wide.substr(0, separator + 1);
  UniqueHandle handle(::CreateFileW(
      folder.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr));
  UniqueHandle arrived(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  auto watcher = std::make_unique<DirectoryWatcher>(
      std::move(handle), std::move(arrived),
      separator == std::wstring::npos ? wide : wide.substr(separator + 1), quiet_milliseconds);
  if (!watcher->listen()) {
    if (error) *error = describe_failure(to_utf8(folder), ::GetLastError());
    return nullptr;
  }
  return watcher;
}

}  // namespace plotwright::platform
