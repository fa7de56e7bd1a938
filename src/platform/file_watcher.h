// Following one file for the changes an editor makes when it saves it, and the user's request
// to stop (Ctrl+C), for a program that waits on both.
#pragma once

#include <memory>
#include <string>

namespace plotwright::platform {

// How long a followed file must stay quiet before a burst of saves counts as one change, in
// every program that follows one (the command line's --watch, the desktop program); also how
// long the command line waits before it reads a file again that was missing right after one.
inline constexpr int kWatchSettleMilliseconds = 200;

enum class WatchEvent {
  CHANGED,  // the file was written, replaced, removed or created, and then stayed quiet
  STOPPED,  // the user asked the program to end (SIGINT or SIGTERM)
  FAILED,   // the folder can no longer be watched
};

class FileWatcher {
 public:
  virtual ~FileWatcher() = default;
  // Blocks until the file changes and then stays quiet for the watcher's quiet time (a burst
  // of writes, or a write and a rename, is one change), or until a stop request arrives. A
  // stop request that came while the program was busy is answered at once. FAILED comes with
  // the reason in `error`.
  [[nodiscard]] virtual WatchEvent wait(std::string* error) = 0;
  // Sleeps `milliseconds` unless a stop request arrives first: true when one did.
  virtual bool pause(int milliseconds) = 0;
};

// Watches the file at `path`, named as the user named it (its folder, so that a file that an
// editor replaces by renaming a new one over it is followed too; for a link, what it points to
// as well, so that saving either tells). The removal of the folder ends the watch (FAILED),
// even while it is the program's working folder. While the watcher lives, SIGINT and SIGTERM do not
// end the process: they are requests that wait() and pause() answer with a stop. Null, with the
// reason in `error`, when the folder cannot be watched or the system offers no way to watch files.
[[nodiscard]] std::unique_ptr<FileWatcher> watch_file(const std::string& path,
                                                      int quiet_milliseconds, std::string* error);

}  // namespace plotwright::platform
