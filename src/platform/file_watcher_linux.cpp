// Following a file on Linux: inotify on its folder, and SIGINT and SIGTERM through a signalfd,
// so that one poll waits on both and a stop request never interrupts a story half written.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/file_watcher.h"
#include "platform/posix_file.h"

namespace plotwright::platform {

namespace {

using Clock = std::chrono::steady_clock;

// What an editor's save does to a file: written in place, or a new file renamed over it (or
// the old one removed first); a touch changes its attributes only.
constexpr std::uint32_t kFileEvents =
    IN_CLOSE_WRITE | IN_MODIFY | IN_MOVED_TO | IN_MOVED_FROM | IN_CREATE | IN_DELETE | IN_ATTRIB;
constexpr std::uint32_t kFolderEvents = IN_DELETE_SELF | IN_MOVE_SELF;

enum class Batch { NOTHING, CHANGED, FOLDER_GONE };

// A file followed: its path, the watch on its folder, its name there, and a handle on the folder
// that shows whether it was removed.
struct Followed {
  std::string path;
  int folder_watch = -1;
  std::string name;
  UniqueFd folder;
};

std::string folder_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Follows the file at `path` through its folder; false, with the reason in `error`, when the
// folder cannot be watched. A folder that is a process's working folder tells nothing itself
// when it is removed (the system keeps it until its last user lets go), so its parent is watched
// too, where it can be, for the folder's name going.
bool follow(int notify, const std::string& path, Followed& followed, std::string* error) {
  const std::string folder = folder_of(path);
  followed.path = path;
  followed.name = path.substr(path.rfind('/') + 1);
  followed.folder = UniqueFd(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  followed.folder_watch =
      followed.folder.valid()
          ? ::inotify_add_watch(notify, folder.c_str(),
                                kFileEvents | kFolderEvents | IN_ONLYDIR | IN_MASK_ADD)
          : -1;
  if (followed.folder_watch < 0) {
    if (error) *error = describe_failure(folder, errno);
    return false;
  }
  ::inotify_add_watch(notify, (folder + "/..").c_str(),
                      IN_DELETE | IN_MOVED_FROM | IN_ONLYDIR | IN_MASK_ADD);
  return true;
}

// What the link at `path` finally points to; empty when it is no link or leads nowhere.
std::string link_target(const std::string& path) {
  struct stat status {};
  if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return {};
  const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                             &std::free);
  return resolved ? std::string(resolved.get()) : std::string();
}

class InotifyWatcher final : public FileWatcher {
 public:
  InotifyWatcher(UniqueFd notify, UniqueFd signals, Followed file, int quiet,
                 const sigset_t& old_mask)
      : notify_(std::move(notify)),
        signals_(std::move(signals)),
        quiet_(quiet),
        old_mask_(old_mask) {
    files_.push_back(std::move(file));
    follow_link_target();
  }

  // A stop request that came after the last wait ends nothing now: it is taken, not left
  // pending to kill the process once the signals are unblocked.
  ~InotifyWatcher() override {
    signalfd_siginfo info;
    while (::read(signals_.get(), &info, sizeof info) == sizeof info) {
    }
    ::pthread_sigmask(SIG_SETMASK, &old_mask_, nullptr);
  }

  WatchEvent wait(std::string* error) override;
  bool pause(int milliseconds) override;

 private:
  Batch read_events();
  bool take_signal();
  void follow_link_target();
  bool is_followed(int watch, const char* name) const;
  bool is_folder(int watch) const;
  bool folder_removed() const;

  UniqueFd notify_;
  UniqueFd signals_;
  // The file as named, then, when that is a link, what it points to: saving either tells.
  std::vector<Followed> files_;
  int quiet_;
  sigset_t old_mask_;
};

// Follows what the named file links to, anew after each change, as the link may point elsewhere
// now. A target that cannot be followed is not; the link itself still is.
void InotifyWatcher::follow_link_target() {
  const std::string target = link_target(files_.front().path);
  if (files_.size() > 1 && files_.back().path == target) return;
  files_.erase(files_.begin() + 1, files_.end());
  Followed followed;
  if (!target.empty() && follow(notify_.get(), target, followed, nullptr)) {
    files_.push_back(std::move(followed));
  }
}

bool InotifyWatcher::is_followed(int watch, const char* name) const {
  for (const Followed& file : files_) {
    if (file.folder_watch == watch && file.name == name) return true;
  }
  return false;
}

bool InotifyWatcher::is_folder(int watch) const {
  for (const Followed& file : files_) {
    if (file.folder_watch == watch) return true;
  }
  return false;
}

bool InotifyWatcher::folder_removed() const {
  for (const Followed& file : files_) {
    struct stat status {};
    if (::fstat(file.folder.get(), &status) == 0 && status.st_nlink == 0) return true;
  }
  return false;
}

bool InotifyWatcher::take_signal() {
  signalfd_siginfo info;
  return ::read(signals_.get(), &info, sizeof info) == sizeof info;
}

// Reads what inotify has gathered: whether any of it concerns the file or the folder itself.
Batch InotifyWatcher::read_events() {
  alignas(inotify_event) char buffer[8192];
  Batch batch = Batch::NOTHING;
  for (;;) {
    const ssize_t got = ::read(notify_.get(), buffer, sizeof buffer);
    if (got <= 0) return folder_removed() ? Batch::FOLDER_GONE : batch;
    for (ssize_t at = 0; at < got;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      if (event->mask & (kFolderEvents | IN_IGNORED) && is_folder(event->wd)) {
        return Batch::FOLDER_GONE;
      }
      if (event->len > 0 && is_followed(event->wd, event->name)) batch = Batch::CHANGED;
    }
  }
}

WatchEvent InotifyWatcher::wait(std::string* error) {
  std::optional<Clock::time_point> quiet_until;
  for (;;) {
    int timeout = -1;
    if (quiet_until) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(*quiet_until - Clock::now());
      timeout = left.count() > 0 ? static_cast<int>(left.count()) : 0;
    }
    pollfd fds[2] = {{signals_.get(), POLLIN, 0}, {notify_.get(), POLLIN, 0}};
    const int ready = ::poll(fds, 2, timeout);
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) {
      if (error) *error = std::string("cannot wait for changes: ") + std::strerror(errno);
      return WatchEvent::FAILED;
    }
    if (fds[0].revents & POLLIN && take_signal()) return WatchEvent::STOPPED;
    const Batch batch = ready == 0 ? Batch::NOTHING : read_events();
    if (batch == Batch::FOLDER_GONE || folder_removed()) {
      if (error) *error = "its folder was removed or moved";
      return WatchEvent::FAILED;
    }
    if (ready == 0) {
      follow_link_target();
      return WatchEvent::CHANGED;
    }
    if (batch == Batch::CHANGED) quiet_until = Clock::now() + std::chrono::milliseconds(quiet_);
  }
}

bool InotifyWatcher::pause(int milliseconds) {
  const Clock::time_point until = Clock::now() + std::chrono::milliseconds(milliseconds);
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now());
    pollfd fd = {signals_.get(), POLLIN, 0};
    const int ready = ::poll(&fd, 1, left.count() > 0 ? static_cast<int>(left.count()) : 0);
    if (ready < 0 && errno == EINTR) continue;
    return ready > 0 && take_signal();
  }
}

}  // namespace

std::unique_ptr<FileWatcher> watch_file(const std::string& path, int quiet_milliseconds,
                                        std::string* error) {
  UniqueFd notify(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
  if (!notify.valid()) {
    if (error) *error = std::string("cannot watch files: ") + std::strerror(errno);
    return nullptr;
  }
  Followed file;
  if (!follow(notify.get(), path, file, error)) return nullptr;
  sigset_t stops;
  sigset_t old_mask;
  ::sigemptyset(&stops);
  ::sigaddset(&stops, SIGINT);
  ::sigaddset(&stops, SIGTERM);
  ::pthread_sigmask(SIG_BLOCK, &stops, &old_mask);
  UniqueFd signals(::signalfd(-1, &stops, SFD_NONBLOCK | SFD_CLOEXEC));
  if (!signals.valid()) {
    if (error) *error = std::string("cannot take Ctrl+C: ") + std::strerror(errno);
    ::pthread_sigmask(SIG_SETMASK, &old_mask, nullptr);
    return nullptr;
  }
  return std::make_unique<InotifyWatcher>(std::move(notify), std::move(signals), std::move(file),
                                          quiet_milliseconds, old_mask);
}

}  // namespace plotwright::platform
