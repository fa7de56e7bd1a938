// The reading primitive over a scenario file: delivers physical lines without their line ends.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace plotwright {

class LineSource {
 public:
  virtual ~LineSource() = default;
  // The next physical line, its LF or CR LF line end removed; nullopt when no byte is left.
  // A last line without a line end is delivered like any other. The view stays valid until
  // the next call.
  [[nodiscard]] virtual std::optional<std::string_view> read_line() = 0;
};

// Physical lines of a text held in memory (a whole file, or a scenario written in a test).
// A lone CR is kept as a byte of its line.
class MemoryLineSource final : public LineSource {
 public:
  explicit MemoryLineSource(std::string_view text) : text_(text) {}
  [[nodiscard]] std::optional<std::string_view> read_line() override;

 private:
  std::string_view text_;
  std::size_t position_ = 0;
};

// Owns the bytes of a whole file and delivers its lines.
class FileLineSource final : public LineSource {
 public:
  explicit FileLineSource(std::string bytes) : bytes_(std::move(bytes)), lines_(bytes_) {}
  [[nodiscard]] std::optional<std::string_view> read_line() override { return lines_.read_line(); }
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
  MemoryLineSource lines_;
};

}  // namespace plotwright
