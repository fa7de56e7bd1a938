// The calendar time that seeds the random source, behind a seam so that runs can be reproduced.
#pragma once

#include <cstdint>
#include <ctime>

namespace plotwright {

class Clock {
 public:
  virtual ~Clock() = default;
  // Seconds of calendar time, as the C library's time() gives them.
  virtual std::int64_t now_seconds() = 0;
};

class SystemClock final : public Clock {
 public:
  std::int64_t now_seconds() override { return static_cast<std::int64_t>(std::time(nullptr)); }
};

// Always the same time: `--seed N` and tests.
class FixedClock final : public Clock {
 public:
  explicit FixedClock(std::int64_t seconds) : seconds_(seconds) {}
  std::int64_t now_seconds() override { return seconds_; }

 private:
  std::int64_t seconds_;
};

}  // namespace plotwright
