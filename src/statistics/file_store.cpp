// The file stores: the real disk, with atomic replacement, and the in-memory one for tests.
#include "statistics/file_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace plotwright {

std::optional<std::string> DiskFileStore::read_file(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return std::nullopt;
  std::string content;
  char chunk[65536];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) content.append(chunk, got);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return std::nullopt;
  return content;
}

namespace {

std::string failure(const std::string& what, int error) {
  return what + ": " + std::strerror(error);
}

bool write_all(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t n = ::write(fd, content.data(), content.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    content.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// The process that a temporary file "NAME.tmp.PID" belongs to, or 0 when the name is not one.
pid_t temporary_owner(std::string_view name, std::string_view prefix) {
  if (!name.starts_with(prefix)) return 0;
  const std::string_view digits = name.substr(prefix.size());
  if (digits.empty() || digits.size() > 9) return 0;
  pid_t pid = 0;
  for (const char digit : digits) {
    if (digit < '0' || digit > '9') return 0;
    pid = pid * 10 + (digit - '0');
  }
  return pid;
}

// A program killed while it saved leaves its temporary file behind. Each successful save
// removes those of the same file whose process no longer runs, so that they do not pile up;
// the file of a program saving at this moment is left alone.
void remove_stale_temporaries(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const std::string prefix = (slash == std::string::npos ? path : path.substr(slash + 1)) + ".tmp.";
  DIR* directory = ::opendir(folder.c_str());
  if (!directory) return;
  while (const dirent* entry = ::readdir(directory)) {
    const pid_t owner = temporary_owner(entry->d_name, prefix);
    if (owner <= 0 || owner == ::getpid()) continue;
    if (::kill(owner, 0) == 0 || errno != ESRCH) continue;  // running, or not ours to know
    ::unlinkat(::dirfd(directory), entry->d_name, 0);
  }
  ::closedir(directory);
}

}  // namespace

std::string DiskFileStore::replace_file(const std::string& path, std::string_view content) {
  // A name unique to this process, so that two programs saving at once never share a
  // temporary file; the last rename wins and each leaves a whole file.
  const std::string temporary = path + ".tmp." + std::to_string(::getpid());
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return failure(temporary, errno);
  if (!write_all(fd, content) || ::fsync(fd) != 0) {
    const int error = errno;
    ::close(fd);
    ::unlink(temporary.c_str());
    return failure(temporary, error);
  }
  if (::close(fd) != 0 || ::rename(temporary.c_str(), path.c_str()) != 0) {
    const int error = errno;
    ::unlink(temporary.c_str());
    return failure(path, error);
  }
  remove_stale_temporaries(path);
  return {};
}

std::optional<std::string> MemoryFileStore::read_file(const std::string& path) {
  const auto found = files.find(path);
  if (found == files.end()) return std::nullopt;
  return found->second;
}

std::string MemoryFileStore::replace_file(const std::string& path, std::string_view content) {
  files[path] = std::string(content);
  ++writes;
  return {};
}

}  // namespace plotwright
