// The disk file store on Windows: bounded reads that refuse links and devices; updates that take
// turns through a named mutex and replace the file atomically (MoveFileExW).
#include "platform/disk_file_store.h"

// <windows.h> first: the headers of the other Windows APIs need its types.
#include <windows.h>

#include <bcrypt.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string_view>
#include <thread>

#include "platform/windows/win32_file.h"

namespace plotwright::platform {

namespace {

constexpr std::wstring_view kTemporaryPrefix = L".plotwright.";
constexpr int kAttempts = 16;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// The attributes a replacement takes over from the file it replaces.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

bool fail(std::string* error, std::string message) {
  if (error) *error = std::move(message);
  return false;
}

// ---------------------------------------------------------------------------------------------
// Taking turns

// The absolute form of a path, or the path itself when Windows cannot make one.
std::wstring full_path(const std::wstring& path) {
  constexpr DWORD kCapacity = 32768;  // the longest path Windows has
  std::wstring full(kCapacity, L'\0');
  const DWORD length = ::GetFullPathNameW(path.c_str(), kCapacity, full.data(), nullptr);
  if (length == 0 || length >= kCapacity) return path;
  full.resize(length);
  return full;
}

// Runs of the program that update one file take turns through a mutex named after the file's
// full path. A lock on the file itself would not do: Windows does not rename over a file that
// is open, so the file must be closed when it is replaced. A run that is killed releases the
// mutex with it (WAIT_ABANDONED); its update was all or nothing, so the next run goes on.
class TurnLock {
 public:
  ~TurnLock() {
    if (held_) ::ReleaseMutex(mutex_.get());
  }

  // False when another run holds the file for longer than `wait`; `busy` hears of it first.
  bool take(const std::wstring& path, DWORD wait, const std::function<void()>& busy) {
    mutex_ = UniqueHandle(::CreateMutexW(nullptr, FALSE, name_for(path).c_str()));
    // No mutex to be had: the update goes on unlocked, as on a file system without locks.
    if (!mutex_.valid()) return true;
    // Another run holds the turn only while it writes: the user hears of a longer wait.
    const DWORD notice = std::min<DWORD>(wait, kStatisticsLockNoticeMilliseconds);
    DWORD waited = ::WaitForSingleObject(mutex_.get(), notice);
    if (waited == WAIT_TIMEOUT) {
      busy();
      waited = ::WaitForSingleObject(mutex_.get(), wait - notice);
    }
    held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    return held_;
  }

 private:
  // "Local\Plotwright.statistics.HASH": the FNV-1a hash of the full path in capitals (the
  // names of Windows' file systems ignore case). Two paths that share a hash only share turns.
  static std::wstring name_for(const std::wstring& path) {
    std::wstring full = full_path(path);
    ::CharUpperBuffW(full.data(), static_cast<DWORD>(full.size()));
    std::uint64_t hash = 14695981039346656037u;
    for (const wchar_t unit : full) {
      hash = (hash ^ static_cast<std::uint16_t>(unit)) * 1099511628211u;
    }
    wchar_t text[17];
    std::swprintf(text, 17, L"%016llx", static_cast<unsigned long long>(hash));
    return L"Local\\Plotwright.statistics." + std::wstring(text);
  }

  UniqueHandle mutex_;
  bool held_ = false;
};

// ---------------------------------------------------------------------------------------------
// Opening the file itself

enum class Opened { REGULAR, MISSING, REFUSED };

// The handle's file when it is a regular file on disk: not a folder, not a device, a console
// or a pipe (a reserved name such as CON.vus), not a symbolic link or junction.
bool check_regular(HANDLE handle, const std::string& path, BY_HANDLE_FILE_INFORMATION& info,
                   std::string* error) {
  if (::GetFileType(handle) != FILE_TYPE_DISK) return fail(error, path + ": is not a regular file");
  if (!::GetFileInformationByHandle(handle, &info)) {
    return fail(error, describe_failure(path, ::GetLastError()));
  }
  if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    return fail(error, path + ": is not a regular file");
  }
  return true;
}

// Whether the reparse point open at `handle` stands for another path: a symbolic link, a
// junction. Other reparse points (files kept in the cloud, deduplicated, compressed) are the
// file's own content.
bool is_link(HANDLE handle) {
  FILE_ATTRIBUTE_TAG_INFO tag{};
  return !::GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag) ||
         IsReparseTagNameSurrogate(tag.ReparseTag);
}

// Opens the file at `path` for reading without following a link at it (a link is refused),
// without waiting, and keeps it open only when it is a regular file.
Opened open_regular(const std::wstring& wide, const std::string& path, UniqueHandle& handle,
                    BY_HANDLE_FILE_INFORMATION& info, std::string* error) {
  handle = UniqueHandle(::CreateFileW(wide.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                                      nullptr));
  if (!handle.valid()) {
    const DWORD e = ::GetLastError();
    if (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND) return Opened::MISSING;
    fail(error, describe_failure(path, e));
    return Opened::REFUSED;
  }
  if (!check_regular(handle.get(), path, info, error)) return Opened::REFUSED;
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && is_link(handle.get())) {
    fail(error, path + ": is a symbolic link");
    return Opened::REFUSED;
  }
  return Opened::REGULAR;
}

// ---------------------------------------------------------------------------------------------
// Replacing the file

// The folder part of `path`, with its separator ("" for a bare name).
std::wstring folder_of(const std::wstring& path) {
  const std::size_t separator = path.find_last_of(L"\\/:");
  return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
}

std::wstring random_suffix() {
  unsigned char bytes[6] = {};
  if (!BCRYPT_SUCCESS(
          ::BCryptGenRandom(nullptr, bytes, sizeof bytes, BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
    // Only the unpredictability suffers; the exclusive creation still refuses any name
    // that exists.
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    for (unsigned char& byte : bytes) byte = static_cast<unsigned char>(now >> (&byte - bytes) * 8);
  }
  wchar_t text[sizeof bytes * 2 + 1];
  for (std::size_t i = 0; i < sizeof bytes; ++i) std::swprintf(text + 2 * i, 3, L"%02x", bytes[i]);
  return text;
}

// Creates a new temporary file in the folder (CREATE_NEW: never through an existing path or a
// link), with the attributes the replaced file had. Its name is short, so it fits wherever
// the file it replaces fits.
UniqueHandle create_temporary(const std::wstring& folder, DWORD attributes,
                              std::wstring& temporary) {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    temporary = folder + std::wstring(kTemporaryPrefix) + std::to_wstring(::GetCurrentProcessId()) +
                L"." + random_suffix();
    UniqueHandle handle(::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      attributes, nullptr));
    if (handle.valid() || ::GetLastError() != ERROR_FILE_EXISTS) return handle;
  }
  return UniqueHandle();
}

DWORD write_and_flush(HANDLE handle, std::string_view content) {
  const DWORD e = write_all(handle, content);
  if (e != 0) return e;
  return ::FlushFileBuffers(handle) ? 0 : ::GetLastError();
}

// For a folder that may not be written: the file itself is rewritten, flushed. A file that is
// not there yet cannot be made there: the folder's refusal is the reason.
DWORD rewrite_in_place(const std::wstring& path, std::string_view content) {
  UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file.valid()) {
    const DWORD e = ::GetLastError();
    return e == ERROR_FILE_NOT_FOUND ? ERROR_ACCESS_DENIED : e;
  }
  DWORD e = write_and_flush(file.get(), content);
  if (e == 0 && !::SetEndOfFile(file.get())) e = ::GetLastError();
  return e;
}

// Renames the temporary file over the file. Another program (a virus scanner, an editor)
// may hold the file open for a moment: the rename is tried again for about a second.
DWORD move_over(const std::wstring& temporary, const std::wstring& path) {
  DWORD e = 0;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    if (::MoveFileExW(temporary.c_str(), path.c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return 0;
    }
    e = ::GetLastError();
    if (e != ERROR_ACCESS_DENIED && e != ERROR_SHARING_VIOLATION) return e;
    std::this_thread::sleep_for(std::chrono::milliseconds(64));
  }
  return e;
}

// Writes `content` to a temporary file and renames it over `path`. Returns 0 or an error.
DWORD replace_whole(const std::wstring& path, DWORD old_attributes, std::string_view content) {
  std::wstring temporary;
  const DWORD attributes = old_attributes & kKeptAttributes;
  UniqueHandle out =
      create_temporary(folder_of(path), attributes ? attributes : FILE_ATTRIBUTE_NORMAL, temporary);
  if (!out.valid()) {
    const DWORD e = ::GetLastError();
    return e == ERROR_ACCESS_DENIED ? rewrite_in_place(path, content) : e;
  }
  DWORD e = write_and_flush(out.get(), content);
  out.reset();
  if (e == 0) e = move_over(temporary, path);
  if (e != 0) ::DeleteFileW(temporary.c_str());
  return e;
}

// ---------------------------------------------------------------------------------------------
// Temporary files left behind

// The process a temporary file ".plotwright.PID.RANDOM" belongs to, or 0 for other names.
DWORD temporary_owner(std::wstring_view name) {
  if (!name.starts_with(kTemporaryPrefix)) return 0;
  name.remove_prefix(kTemporaryPrefix.size());
  DWORD pid = 0;
  std::size_t digits = 0;
  for (; digits < name.size() && digits < 9 && name[digits] >= L'0' && name[digits] <= L'9';
       ++digits) {
    pid = pid * 10 + static_cast<DWORD>(name[digits] - L'0');
  }
  return digits > 0 && digits < name.size() && name[digits] == L'.' ? pid : 0;
}

// Whether the process is known to have ended (a process that cannot be asked is running).
bool process_ended(DWORD pid) {
  const UniqueHandle process(::OpenProcess(SYNCHRONIZE, FALSE, pid));
  if (!process.valid()) return ::GetLastError() == ERROR_INVALID_PARAMETER;
  return ::WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0;
}

// A program killed while it saved leaves its temporary file behind; each successful save
// removes those in its folder whose program no longer runs.
void remove_stale_temporaries(const std::wstring& folder) {
  WIN32_FIND_DATAW found{};
  const std::wstring pattern = folder + std::wstring(kTemporaryPrefix) + L"*";
  const HANDLE search = ::FindFirstFileW(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const DWORD owner = temporary_owner(found.cFileName);
    if (owner == 0 || owner == ::GetCurrentProcessId() || !process_ended(owner)) continue;
    ::DeleteFileW((folder + found.cFileName).c_str());
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
}

}  // namespace

bool DiskFileStore::read_file(const std::string& path, std::size_t limit, std::string& content,
                              std::string* error) {
  content.clear();
  UniqueHandle file;
  BY_HANDLE_FILE_INFORMATION info{};
  const Opened opened = open_regular(to_wide(path), path, file, info, error);
  if (opened != Opened::REGULAR) return opened == Opened::MISSING;
  const DWORD e = read_up_to(file.get(), limit, content);
  return e == 0 || fail(error, describe_failure(path, e));
}

bool DiskFileStore::update_file(const std::string& path, std::size_t limit, const Update& update,
                                std::string* error) {
  const std::wstring wide = to_wide(path);
  TurnLock turn;
  const auto busy = [&] {
    if (busy_) busy_(path);
  };
  if (!turn.take(wide, static_cast<DWORD>(lock_wait_.count()), busy)) {
    return fail(error, path + kStillLocked);
  }
  UniqueHandle file;
  BY_HANDLE_FILE_INFORMATION info{};
  const Opened opened = open_regular(wide, path, file, info, error);
  if (opened == Opened::REFUSED) return false;
  if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
    return fail(error, path + ": is read-only; left as it is");
  }
  std::string current;
  if (opened == Opened::REGULAR) {
    const DWORD e = read_up_to(file.get(), limit, current);
    if (e != 0) return fail(error, describe_failure(path, e));
    if (current.size() > limit) current.clear();
  }
  file.reset();
  const DWORD e = replace_whole(wide, info.dwFileAttributes, update(current));
  if (e != 0) return fail(error, describe_failure(path, e));
  remove_stale_temporaries(folder_of(wide));
  return true;
}

}  // namespace plotwright::platform
