// Reading and writing the statistics file; seeding the random source.
#include "statistics/usage_statistics.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

#include "base/limits.h"

namespace plotwright {

void seed_random(RandomSource& random, Clock& clock) {
  const auto t = static_cast<std::uint64_t>(clock.now_seconds());
  random.srand(static_cast<std::uint32_t>(t & 0x7FFF));
  const int skipped = static_cast<int>(t & 0xFF) + 10;
  for (int i = 0; i < skipped; ++i) random.rand();
}

std::string derive_statistics_path(std::string_view scenario_path) {
  std::string path(scenario_path.substr(0, scenario_path.find('\0')));
  for (std::size_t i = path.size(); i-- > 0;) {
    const char byte = path[i];
    if (byte == '.') return path.substr(0, i + 1) + "vus";
    if (byte == '\\' || byte == ':' || byte == '/') break;
  }
  return path + ".vus";
}

namespace {

bool is_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The scan format "%12ld%12ld\n" over a file's content.
class RecordScanner {
 public:
  explicit RecordScanner(std::string_view text) : text_(text) {}

  // Scans one record; returns the number of values assigned (0, 1 or 2).
  int scan(std::int64_t& first, std::int64_t& second) {
    if (!scan_number(first)) return 0;
    if (!scan_number(second)) return 1;
    skip_space();
    return 2;
  }

 private:
  void skip_space() {
    while (pos_ < text_.size() && is_space(text_[pos_])) ++pos_;
  }

  // "%12ld": white space, then a sign and digits from at most 12 characters.
  bool scan_number(std::int64_t& out) {
    skip_space();
    std::size_t width = 0;
    bool negative = false;
    if (pos_ < text_.size() && (text_[pos_] == '-' || text_[pos_] == '+')) {
      negative = text_[pos_] == '-';
      ++pos_;
      ++width;
    }
    std::int64_t value = 0;
    std::size_t digits = 0;
    while (width < kStatisticsFieldWidth && pos_ < text_.size() && text_[pos_] >= '0' &&
           text_[pos_] <= '9') {
      value = value * 10 + (text_[pos_] - '0');
      ++pos_;
      ++width;
      ++digits;
    }
    if (digits == 0) return false;
    out = negative ? -value : value;
    return true;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

bool read_records(std::string_view content, int record_count, RunState& run_state) {
  RecordScanner scanner(content);
  for (int k = 0; k < record_count; ++k) {
    std::int64_t use = 0;
    std::int64_t runs = 0;
    const int assigned = scanner.scan(use, runs);
    if (assigned == 0) return false;
    run_state.set_use_count(k + 1, use);
    run_state.set_run_count(k + 1, runs);
  }
  std::int64_t extra_use = 0;
  std::int64_t extra_runs = 0;
  return scanner.scan(extra_use, extra_runs) == 0;
}

// The counts a 12-character field holds with a space in front. The reader skips spaces and
// then takes up to 12 characters, so a count that filled its field would run into the next
// one, and a wider one would push every later field out of place: the whole file would no
// longer read back. A count beyond them (a file edited by hand, or a run count that kept
// growing) is written as the nearest of them, in memory too.
constexpr std::int64_t kFieldMax = 99999999999;
constexpr std::int64_t kFieldMin = -9999999999;

std::int64_t fit_field(std::int64_t count) {
  return std::clamp(count, kFieldMin, kFieldMax);
}

}  // namespace

int read_statistics(const std::string& path, int scene_count, RunState& run_state, FileStore& files,
                    RandomSource& random, Clock& clock) {
  seed_random(random, clock);
  run_state.resize(scene_count);
  for (int scene = 1; scene <= scene_count; ++scene) {
    run_state.set_use_count(scene, 0);
    run_state.set_run_count(scene, 0);
    run_state.set_disabled(scene, 0);
    run_state.set_priority(scene, 0);
  }
  const int record_count = scene_count > 0 ? scene_count - 1 : 0;
  const auto content = files.read_file(path);
  if (!content) return record_count;
  if (!read_records(*content, record_count, run_state)) {
    for (int scene = 1; scene <= record_count + 1; ++scene) {
      run_state.set_use_count(scene, 0);
      run_state.set_run_count(scene, 0);
    }
  }
  return record_count;
}

std::string format_statistics(int record_count, RunState& run_state) {
  std::string content;
  content.reserve(static_cast<std::size_t>(record_count) * 25);
  char line[64];
  for (int k = 0; k < record_count; ++k) {
    run_state.set_run_count(k + 1, fit_field(run_state.run_count(k + 1) + 1));
    const int length =
        std::snprintf(line, sizeof line, "%12" PRId64 "%12" PRId64 "\n",
                      fit_field(run_state.use_count(k + 1)), fit_field(run_state.run_count(k + 1)));
    content.append(line, static_cast<std::size_t>(length));
  }
  return content;
}

std::string write_statistics(const std::string& path, int record_count, RunState& run_state,
                             FileStore& files) {
  return files.replace_file(path, format_statistics(record_count, run_state));
}

}  // namespace plotwright
