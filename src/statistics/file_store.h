// Reading and replacing whole files, behind a seam: the statistics file goes through it.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace plotwright {

class FileStore {
 public:
  virtual ~FileStore() = default;
  // The whole content of the file, or nullopt when it cannot be opened or read.
  virtual std::optional<std::string> read_file(const std::string& path) = 0;
  // Replaces the file with `content` so that a reader sees either the old file or the new one,
  // whole. Returns an empty string on success, otherwise the reason it failed.
  virtual std::string replace_file(const std::string& path, std::string_view content) = 0;
};

// The real file system. Replacement writes a temporary file beside the target
// ("NAME.tmp.PID"), flushes it to disk and renames it over the target; a failed replacement
// removes its temporary file, and a successful one also those that killed programs left.
class DiskFileStore final : public FileStore {
 public:
  std::optional<std::string> read_file(const std::string& path) override;
  std::string replace_file(const std::string& path, std::string_view content) override;
};

// Reads nothing and keeps nothing: for runs that must not touch statistics files.
class NullFileStore final : public FileStore {
 public:
  std::optional<std::string> read_file(const std::string&) override { return std::nullopt; }
  std::string replace_file(const std::string&, std::string_view) override { return {}; }
};

// Files in memory, for tests.
class MemoryFileStore final : public FileStore {
 public:
  std::optional<std::string> read_file(const std::string& path) override;
  std::string replace_file(const std::string& path, std::string_view content) override;
  std::map<std::string, std::string> files;
  int writes = 0;
};

}  // namespace plotwright
