// Reading and updating small whole files, behind a seam: the statistics file goes through it.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace plotwright {

class FileStore {
 public:
  // What an update makes of the file's current content.
  using Update = std::function<std::string(std::string_view current)>;

  virtual ~FileStore() = default;

  // Reads the file into `content`, at most `limit` + 1 bytes, so that a caller can tell a
  // longer file. A file that does not exist reads as empty. Anything that is not a regular
  // file the user may read (a symbolic link, a FIFO, a device, a folder) is refused: false,
  // with the reason in `error`, and never waited on.
  [[nodiscard]] virtual bool read_file(const std::string& path, std::size_t limit,
                                       std::string& content, std::string* error) = 0;

  // Replaces the file with `update(current)`, where `current` is its content read as
  // read_file reads it (empty when it does not exist or is longer than `limit`). Readers see
  // the old file or the new one, whole; two programs that update one file at once take turns,
  // so each update starts from the other's result. False, with the reason in `error` and the
  // file as it was, when it cannot be done.
  [[nodiscard]] virtual bool update_file(const std::string& path, std::size_t limit,
                                         const Update& update, std::string* error) = 0;
};

// Reads nothing and keeps nothing: for runs that must not touch statistics files.
class NullFileStore final : public FileStore {
 public:
  bool read_file(const std::string&, std::size_t, std::string& content, std::string*) override {
    content.clear();
    return true;
  }
  bool update_file(const std::string&, std::size_t, const Update&, std::string*) override {
    return true;
  }
};

// Files in memory, for tests.
class MemoryFileStore final : public FileStore {
 public:
  bool read_file(const std::string& path, std::size_t limit, std::string& content,
                 std::string*) override {
    const auto found = files.find(path);
    content = found == files.end() ? std::string() : found->second.substr(0, limit + 1);
    return true;
  }
  bool update_file(const std::string& path, std::size_t limit, const Update& update,
                   std::string*) override {
    std::string current;
    read_file(path, limit, current, nullptr);
    files[path] = update(current.size() > limit ? std::string_view() : current);
    ++writes;
    return true;
  }

  std::map<std::string, std::string> files;
  int writes = 0;
};

}  // namespace plotwright
