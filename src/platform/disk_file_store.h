// The statistics file on the real disk: bounded reads that never wait on odd files, and
// updates that are atomic, locked against other programs, and keep the file's permissions.
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "base/file_store.h"
#include "base/limits.h"

namespace plotwright::platform {

// An update works like this, so that neither an attacker nor a crash nor a second program can
// cost the user a count or another file:
// - the file is opened without following a symbolic link and without waiting (a FIFO, a
//   device or a link at its path is refused), created empty when missing, and locked with
//   flock(); a program that finds the path replaced while it waited opens it again;
// - a lock that another program holds is reported at once (the busy notice) and waited for
//   only so long (kStatisticsLockWaitMilliseconds in all): then the update fails, and the file
//   stays as the other program leaves it;
// - the current content is read under the lock and the update applied to it;
// - the new content goes into a temporary file created exclusively in the same folder under
//   an unpredictable short name (".plotwright.PID.RANDOM"), given the old file's mode and,
//   where permitted, owner, flushed and renamed over the file;
// - a file with no write permission at all is left alone (the user made it read-only); when
//   the folder may not be written but the file may, the file is rewritten in place, flushed;
// - temporary files that killed programs left in the folder are removed.
// On Windows (windows/disk_file_store.cpp) the same holds in Windows terms: programs take turns
// through a named mutex rather than a lock on the file, which could not then be renamed over;
// the read-only attribute stands for the mode (docs/windows.md).
class DiskFileStore final : public FileStore {
 public:
  // Told the file's path when another program holds its lock, before the update waits for it.
  using BusyNotice = std::function<void(const std::string& path)>;

  DiskFileStore() = default;
  explicit DiskFileStore(BusyNotice busy,
                         std::chrono::milliseconds lock_wait =
                             std::chrono::milliseconds(kStatisticsLockWaitMilliseconds))
      : busy_(std::move(busy)), lock_wait_(lock_wait) {}

  [[nodiscard]] bool read_file(const std::string& path, std::size_t limit, std::string& content,
                               std::string* error) override;
  [[nodiscard]] bool update_file(const std::string& path, std::size_t limit, const Update& update,
                                 std::string* error) override;

  // What an update that gave up waiting for the lock says after the file's path.
  static constexpr const char* kStillLocked =
      ": stayed locked by another program; this run's counts were not saved";

 private:
  BusyNotice busy_;
  std::chrono::milliseconds lock_wait_{kStatisticsLockWaitMilliseconds};
};

}  // namespace plotwright::platform
