// Reading scenario files: size limit, odd files, and where the statistics go.
#include "platform/scenario_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "base/limits.h"
#include "base/statistics_path.h"
#include "base/text.h"
#include "platform/posix_file.h"
#include "platform/scenario_file_notes.h"

namespace plotwright::platform {

namespace {

bool fail(std::string* error, std::string message) {
  if (error) *error = std::move(message);
  return false;
}

std::string real_path(const std::string& name) {
  const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(name.c_str(), nullptr),
                                                             &std::free);
  return resolved ? std::string(resolved.get()) : name;
}

// Where the statistics of a regular file go, and whether they may.
void place_statistics(const std::string& name, const struct stat& scenario, ScenarioFile& file) {
  file.path = real_path(name);
  struct stat statistics {};
  const std::string statistics_path = derive_statistics_path(file.path);
  const bool statistics_exist = ::stat(statistics_path.c_str(), &statistics) == 0;
  file.keep_statistics = !statistics_exist || statistics.st_dev != scenario.st_dev ||
                         statistics.st_ino != scenario.st_ino;
  if (!file.keep_statistics) {
    file.statistics_notes.push_back("is its own statistics file (" + statistics_path +
                                    "); no statistics are kept for it");
    return;
  }
  const std::string folder = file.path.substr(0, file.path.find_last_of('/') + 1);
  std::string note = read_only_statistics_note(
      file.path, ::access(folder.empty() ? "." : folder.c_str(), W_OK) == 0, statistics_exist);
  if (!note.empty()) {
    file.keep_statistics = false;
    file.read_only_notes.push_back(std::move(note));
  }
}

}  // namespace

bool read_scenario_file(const std::string& name, bool allow_streams, ScenarioFile& file,
                        std::string* error) {
  file = ScenarioFile{};
  const bool standard_input = name == "-";
  if (standard_input && !allow_streams) return fail(error, "standard input cannot be read here");
  UniqueFd owned;
  if (!standard_input) {
    owned = UniqueFd(::open(name.c_str(), O_RDONLY | O_CLOEXEC | (allow_streams ? 0 : O_NONBLOCK)));
    if (!owned.valid()) return fail(error, std::strerror(errno));
  }
  const int fd = standard_input ? STDIN_FILENO : owned.get();
  struct stat status {};
  if (::fstat(fd, &status) != 0) return fail(error, std::strerror(errno));
  if (S_ISDIR(status.st_mode)) return fail(error, std::strerror(EISDIR));
  const bool regular = S_ISREG(status.st_mode);
  if (!regular && !allow_streams) return fail(error, "is not a regular file");
  if (!regular && !S_ISFIFO(status.st_mode) && !S_ISSOCK(status.st_mode) && !::isatty(fd)) {
    return fail(error, kDeviceRefused);
  }
  if (regular && static_cast<std::size_t>(status.st_size) > kMaxScenarioBytes) {
    return fail(error, too_long_message());
  }
  const int e = read_up_to(fd, kMaxScenarioBytes, file.bytes);
  if (e != 0) return fail(error, std::strerror(e));
  if (file.bytes.size() > kMaxScenarioBytes) return fail(error, too_long_message());
  if (regular && !standard_input) {
    place_statistics(name, status, file);
  } else {
    keep_no_statistics(name, regular, file);
  }
  note_line_ends(file);
  return true;
}

}  // namespace plotwright::platform
