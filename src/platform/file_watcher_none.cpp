// Following a file where the build knows no way to: the watch is refused with a reason, so that
// the programs build and everything else works.
#include "platform/file_watcher.h"

namespace plotwright::platform {

std::unique_ptr<FileWatcher> watch_file(const std::string& /*path*/, int /*quiet_milliseconds*/,
                                        std::string* error) {
  if (error) *error = "this system offers no way to follow a file for changes";
  return nullptr;
}

}  // namespace plotwright::platform
