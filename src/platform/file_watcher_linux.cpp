// Following a file on Linux: inotify on its folder, and SIGINT and SIGTERM through a signalfd,
// so that one poll waits on both and a stop request never interrupts a story half written.
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <optional>

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

class InotifyWatcher final : public FileWatcher {
 public:
  InotifyWatcher(UniqueFd notify, UniqueFd signals, std::string name, int quiet,
                 const sigset_t& old_mask)
      : notify_(std::move(notify)),
        signals_(std::move(signals)),
        name_(std::move(name)),
        quiet_(quiet),
        old_mask_(old_mask) {}

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

  UniqueFd notify_;
  UniqueFd signals_;
  std::string name_;  // the file's name in its folder
  int quiet_;
  sigset_t old_mask_;
};

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
    if (got <= 0) return batch;
    for (ssize_t at = 0; at < got;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      if (event->mask & (kFolderEvents | IN_IGNORED)) return Batch::FOLDER_GONE;
      if (event->len > 0 && name_ == event->name) batch = Batch::CHANGED;
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
    if (ready == 0) return WatchEvent::CHANGED;
    const Batch batch = read_events();
    if (batch == Batch::FOLDER_GONE) {
      if (error) *error = "its folder was removed or moved";
      return WatchEvent::FAILED;
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

std::string folder_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

std::unique_ptr<FileWatcher> watch_file(const std::string& path, int quiet_milliseconds,
                                        std::string* error) {
  const std::string folder = folder_of(path);
  UniqueFd notify(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
  if (!notify.valid() || ::inotify_add_watch(notify.get(), folder.c_str(),
                                             kFileEvents | kFolderEvents | IN_ONLYDIR) < 0) {
    if (error) *error = describe_failure(folder, errno);
    return nullptr;
  }
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
  return std::make_unique<InotifyWatcher>(std::move(notify), std::move(signals),
                                          path.substr(path.rfind('/') + 1), quiet_milliseconds,
                                          old_mask);
}

}  // namespace plotwright::platform
