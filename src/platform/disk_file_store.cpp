// The disk file store: bounded, non-blocking reads; locked, atomic, permission-keeping updates.
#include "platform/disk_file_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <string_view>
#include <thread>

#include "platform/posix_file.h"

namespace plotwright::platform {

namespace {

constexpr std::string_view kTemporaryPrefix = ".plotwright.";
constexpr auto kLockPoll = std::chrono::milliseconds(5);
constexpr int kAttempts = 1000;

bool fail(std::string* error, std::string message) {
  if (error) *error = std::move(message);
  return false;
}

enum class Opened { REGULAR, MISSING, REFUSED };

// Opens `name` in `folder` without following a symbolic link or waiting on a FIFO; only a
// regular file is kept open.
Opened open_regular(int folder, const std::string& name, const std::string& path, int flags,
                    UniqueFd& fd, struct stat& status, std::string* error) {
  fd = UniqueFd(::openat(folder, name.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (!fd.valid()) {
    const int e = errno;
    if (e == ENOENT) return Opened::MISSING;
    fail(error, e == ELOOP ? path + ": is a symbolic link" : describe_failure(path, e));
    return Opened::REFUSED;
  }
  if (::fstat(fd.get(), &status) != 0) {
    fail(error, describe_failure(path, errno));
    return Opened::REFUSED;
  }
  if (!S_ISREG(status.st_mode)) {
    fail(error, path + ": is not a regular file");
    return Opened::REFUSED;
  }
  return Opened::REGULAR;
}

// The folder that holds `path`, opened, and the file's name in it.
UniqueFd open_folder(const std::string& path, std::string& name) {
  const std::size_t slash = path.rfind('/');
  name = slash == std::string::npos ? path : path.substr(slash + 1);
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  return UniqueFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

// One update's wait for the lock: how long it may last, when it ends, when the busy notice is
// due and whether it was given.
struct LockTurn {
  using Clock = std::chrono::steady_clock;
  LockTurn(std::chrono::milliseconds wait, const DiskFileStore::BusyNotice& busy)
      : wait(wait),
        deadline(Clock::now() + wait),
        notice_at(Clock::now() +
                  std::min(wait, std::chrono::milliseconds(kStatisticsLockNoticeMilliseconds))),
        busy(busy) {}
  // Another program saved the file meanwhile: the turns move on, so the wait starts anew.
  void progressed() { deadline = Clock::now() + wait; }

  std::chrono::milliseconds wait;
  Clock::time_point deadline;
  Clock::time_point notice_at;
  const DiskFileStore::BusyNotice& busy;
  bool told = false;
};

// Takes the file's lock. When another program holds it past the notice time, says so once,
// and waits for it until the turn's deadline. A file system without locks is used unlocked.
bool wait_for_lock(int fd, const std::string& path, LockTurn& turn) {
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) return errno == ENOLCK || errno == EINVAL;
    const auto now = LockTurn::Clock::now();
    if (!turn.told && now >= turn.notice_at) {
      if (turn.busy) turn.busy(path);
      turn.told = true;
    }
    if (now >= turn.deadline) return false;
    std::this_thread::sleep_for(kLockPoll);
  }
  return true;
}

bool same_file(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Opens the file for the update, creating it empty when missing, and holds its lock. The
// path may have been replaced by another program's update while this one waited for the
// lock: then the new file is opened and locked in its turn.
bool lock_file(int folder, const std::string& name, const std::string& path, LockTurn& turn,
               UniqueFd& fd, struct stat& status, bool& created, std::string* error) {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    created = false;
    const Opened opened = open_regular(folder, name, path, O_RDWR, fd, status, error);
    if (opened == Opened::REFUSED) return false;
    if (opened == Opened::MISSING) {
      fd = UniqueFd(
          ::openat(folder, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
      if (!fd.valid() && errno == EEXIST) continue;
      if (!fd.valid() || ::fstat(fd.get(), &status) != 0) {
        return fail(error, describe_failure(path, errno));
      }
      created = true;
    }
    if (!wait_for_lock(fd.get(), path, turn)) {
      return fail(error, path + DiskFileStore::kStillLocked);
    }
    struct stat now {};
    if (::fstatat(folder, name.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 && same_file(now, status)) {
      return true;
    }
    turn.progressed();
  }
  return fail(error, path + ": keeps being replaced by other programs");
}

std::string random_suffix() {
  unsigned char bytes[6] = {};
  if (::getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
    // Only the unpredictability suffers; the exclusive creation still refuses any name
    // that exists.
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    for (unsigned char& byte : bytes) byte = static_cast<unsigned char>(now >> (&byte - bytes) * 8);
  }
  char text[sizeof bytes * 2 + 1];
  for (std::size_t i = 0; i < sizeof bytes; ++i) {
    std::snprintf(text + 2 * i, 3, "%02x", bytes[i]);
  }
  return text;
}

// Creates a new temporary file in the folder, never through an existing path. Its name is
// short, so it fits wherever the file it replaces fits.
UniqueFd create_temporary(int folder, std::string& name) {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    name = std::string(kTemporaryPrefix) + std::to_string(::getpid()) + "." + random_suffix();
    UniqueFd fd(
        ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (fd.valid() || errno != EEXIST) return fd;
  }
  return UniqueFd();
}

bool write_all_at(int fd, std::string_view content) {
  off_t offset = 0;
  while (!content.empty()) {
    const ssize_t n = ::pwrite(fd, content.data(), content.size(), offset);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    content.remove_prefix(static_cast<std::size_t>(n));
    offset += n;
  }
  return true;
}

// The replacement gets the old file's owner where permitted, and its mode.
void keep_owner_and_mode(int fd, const struct stat& old) {
  if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
    [[maybe_unused]] const int kept_group = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
  }
  [[maybe_unused]] const int kept_mode = ::fchmod(fd, old.st_mode & 07777);
}

// For a folder that may not be written: the file itself is rewritten, flushed.
int rewrite_in_place(int file, std::string_view content) {
  if (!write_all_at(file, content)) return errno;
  if (::ftruncate(file, static_cast<off_t>(content.size())) != 0) return errno;
  return ::fsync(file) == 0 ? 0 : errno;
}

// Writes `content` to a temporary file and renames it over `name`. Returns 0 or an errno.
int replace_whole(int folder, const std::string& name, int file, const struct stat& old,
                  std::string_view content) {
  std::string temporary;
  UniqueFd out = create_temporary(folder, temporary);
  if (!out.valid()) {
    const int e = errno;
    return e == EACCES || e == EPERM ? rewrite_in_place(file, content) : e;
  }
  keep_owner_and_mode(out.get(), old);
  int e = 0;
  if (!write_all_at(out.get(), content) || ::fsync(out.get()) != 0) e = errno;
  if (::close(out.release()) != 0 && e == 0) e = errno;
  if (e == 0 && ::renameat(folder, temporary.c_str(), folder, name.c_str()) != 0) e = errno;
  if (e != 0) {
    ::unlinkat(folder, temporary.c_str(), 0);
    return e;
  }
  ::fsync(folder);  // the rename itself survives a crash
  return 0;
}

// The process a temporary file ".plotwright.PID.RANDOM" belongs to, or 0 for other names.
pid_t temporary_owner(std::string_view name) {
  if (!name.starts_with(kTemporaryPrefix)) return 0;
  name.remove_prefix(kTemporaryPrefix.size());
  pid_t pid = 0;
  std::size_t digits = 0;
  for (; digits < name.size() && digits < 9 && name[digits] >= '0' && name[digits] <= '9';
       ++digits) {
    pid = pid * 10 + (name[digits] - '0');
  }
  return digits > 0 && digits < name.size() && name[digits] == '.' ? pid : 0;
}

// A program killed while it saved leaves its temporary file behind; each successful save
// removes those in its folder whose program no longer runs.
void remove_stale_temporaries(int folder) {
  const int listing = ::dup(folder);
  if (listing < 0) return;
  DIR* directory = ::fdopendir(listing);
  if (!directory) {
    ::close(listing);
    return;
  }
  ::rewinddir(directory);
  while (const dirent* entry = ::readdir(directory)) {
    const pid_t owner = temporary_owner(entry->d_name);
    if (owner <= 0 || owner == ::getpid()) continue;
    if (::kill(owner, 0) == 0 || errno != ESRCH) continue;  // running, or not ours to know
    ::unlinkat(folder, entry->d_name, 0);
  }
  ::closedir(directory);
}

// An update that failed removes the empty file it created to hold the lock on.
void remove_if_created(int folder, const std::string& name, const struct stat& created) {
  struct stat now {};
  if (::fstatat(folder, name.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 && same_file(now, created) &&
      now.st_size == 0) {
    ::unlinkat(folder, name.c_str(), 0);
  }
}

}  // namespace

bool DiskFileStore::read_file(const std::string& path, std::size_t limit, std::string& content,
                              std::string* error) {
  content.clear();
  UniqueFd fd;
  struct stat status {};
  const Opened opened = open_regular(AT_FDCWD, path, path, O_RDONLY, fd, status, error);
  if (opened != Opened::REGULAR) return opened == Opened::MISSING;
  const int e = read_up_to(fd.get(), limit, content);
  return e == 0 || fail(error, describe_failure(path, e));
}

bool DiskFileStore::update_file(const std::string& path, std::size_t limit, const Update& update,
                                std::string* error) {
  std::string name;
  const UniqueFd folder = open_folder(path, name);
  if (!folder.valid()) return fail(error, describe_failure(path, errno));
  UniqueFd file;
  struct stat status {};
  bool created = false;
  LockTurn turn(lock_wait_, busy_);
  if (!lock_file(folder.get(), name, path, turn, file, status, created, error)) return false;
  if ((status.st_mode & 0222) == 0) return fail(error, path + ": is read-only; left as it is");
  std::string current;
  int e = read_up_to(file.get(), limit, current);
  if (e == 0) {
    if (current.size() > limit) current.clear();
    e = replace_whole(folder.get(), name, file.get(), status, update(current));
  }
  if (e != 0) {
    if (created) remove_if_created(folder.get(), name, status);
    return fail(error, describe_failure(path, e));
  }
  remove_stale_temporaries(folder.get());
  return true;
}

}  // namespace plotwright::platform
