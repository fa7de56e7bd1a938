// Reading scenario files on Windows: wide-character paths, the size limit, odd files, and where
// the statistics go.
#include "platform/scenario_file.h"

#include "base/limits.h"
#include "base/statistics_path.h"
#include "base/text.h"
#include "platform/scenario_file_notes.h"
#include "platform/windows/win32_file.h"

namespace plotwright::platform {

namespace {

bool fail(std::string* error, std::string message) {
  if (error) *error = std::move(message);
  return false;
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Opens a file or a folder (FILE_FLAG_BACKUP_SEMANTICS), following links, as the POSIX
// build's open() does; `access` 0 only asks about the file.
UniqueHandle open_following(const std::string& name, DWORD access) {
  return UniqueHandle(::CreateFileW(to_wide(name).c_str(), access, kShareAll, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

// The file's final path, links resolved, with the "\\?\" that Windows puts before it dropped
// where the path works without it.
std::string final_path(HANDLE file, const std::string& name) {
  constexpr DWORD kFlags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
  std::wstring path(MAX_PATH, L'\0');
  DWORD length = ::GetFinalPathNameByHandleW(file, path.data(), MAX_PATH, kFlags);
  if (length >= MAX_PATH) {  // too small: the size it needs, with the terminating null
    path.resize(length);
    length = ::GetFinalPathNameByHandleW(file, path.data(), length, kFlags);
  }
  if (length == 0 || length >= path.size()) return name;
  path.resize(length);
  if (path.starts_with(L"\\\\?\\UNC\\") && path.size() < MAX_PATH + 6) {
    path.replace(0, 8, L"\\\\");
  } else if (path.starts_with(L"\\\\?\\") && path.size() > 6 && path.size() < MAX_PATH + 4 &&
             path[5] == L':') {
    path.erase(0, 4);
  }
  return to_utf8(path);
}

// Where the statistics of a regular file go, and whether they may.
void place_statistics(const std::string& name, HANDLE scenario,
                      const BY_HANDLE_FILE_INFORMATION& identity, ScenarioFile& file) {
  file.path = final_path(scenario, name);
  const std::string statistics_path = derive_statistics_path(file.path);
  const UniqueHandle statistics = open_following(statistics_path, 0);
  BY_HANDLE_FILE_INFORMATION other{};
  file.keep_statistics = !statistics.valid() ||
                         !::GetFileInformationByHandle(statistics.get(), &other) ||
                         !same_file(identity, other);
  if (!file.keep_statistics) {
    file.statistics_notes.push_back("is its own statistics file (" + statistics_path +
                         "); no statistics are kept for it");
  }
}

// What a handle holds: a file on disk (regular), a folder, a stream (a console, a pipe) or
// another device (NUL, a serial port), and for a file its identity and size.
enum class Kind { REGULAR, FOLDER, STREAM, DEVICE };

Kind kind_of(HANDLE handle, BY_HANDLE_FILE_INFORMATION& info) {
  const DWORD type = ::GetFileType(handle);
  DWORD console_mode = 0;
  if (type == FILE_TYPE_CHAR) {
    return ::GetConsoleMode(handle, &console_mode) ? Kind::STREAM : Kind::DEVICE;
  }
  if (type != FILE_TYPE_DISK || !::GetFileInformationByHandle(handle, &info)) {
    return Kind::STREAM;
  }
  return info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? Kind::FOLDER : Kind::REGULAR;
}

}  // namespace

bool read_scenario_file(const std::string& name, bool allow_streams, ScenarioFile& file,
                        std::string* error) {
  file = ScenarioFile{};
  const bool standard_input = name == "-";
  if (standard_input && !allow_streams) return fail(error, "standard input cannot be read here");
  UniqueHandle owned;
  if (!standard_input) {
    owned = open_following(name, GENERIC_READ);
    if (!owned.valid()) return fail(error, describe_error(::GetLastError()));
  }
  const HANDLE handle = standard_input ? ::GetStdHandle(STD_INPUT_HANDLE) : owned.get();
  BY_HANDLE_FILE_INFORMATION info{};
  const Kind kind = kind_of(handle, info);
  if (kind == Kind::FOLDER) return fail(error, "Is a directory");
  const bool regular = kind == Kind::REGULAR;
  if (!regular && !allow_streams) return fail(error, "is not a regular file");
  if (kind == Kind::DEVICE) return fail(error, kDeviceRefused);
  const auto size = std::uint64_t{info.nFileSizeHigh} << 32 | info.nFileSizeLow;
  if (regular && size > kMaxScenarioBytes) return fail(error, too_long_message());
  const DWORD e = read_up_to(handle, kMaxScenarioBytes, file.bytes);
  if (e != 0) return fail(error, describe_error(e));
  if (file.bytes.size() > kMaxScenarioBytes) return fail(error, too_long_message());
  if (regular && !standard_input) {
    place_statistics(name, handle, info, file);
  } else {
    keep_no_statistics(name, regular, file);
  }
  note_line_ends(file);
  return true;
}

}  // namespace plotwright::platform
