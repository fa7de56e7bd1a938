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

std::size_t statistics_read_limit(int record_count) {
  return static_cast<std::size_t>(record_count + 1) * kStatisticsBytesPerRecord;
}

bool parse_statistics(std::string_view content, int record_count, StatisticsRecords& records) {
  records.assign(static_cast<std::size_t>(std::max(record_count, 0)), StoredCounts{});
  RecordScanner scanner(content);
  for (StoredCounts& record : records) {
    if (scanner.scan(record.use, record.runs) == 0) return false;
  }
  StoredCounts extra;
  return scanner.scan(extra.use, extra.runs) == 0;
}

std::string format_statistics(const StatisticsRecords& records) {
  std::string content;
  content.reserve(records.size() * 25);
  char line[64];
  for (const StoredCounts& record : records) {
    const int length = std::snprintf(line, sizeof line, "%12" PRId64 "%12" PRId64 "\n",
                                     fit_field(record.use), fit_field(record.runs));
    content.append(line, static_cast<std::size_t>(length));
  }
  return content;
}

bool read_statistics(const std::string& path, int scene_count, RunState& run_state,
                     FileStore& files, RandomSource& random, Clock& clock,
                     StatisticsRecords& loaded, std::string* warning) {
  seed_random(random, clock);
  run_state = RunState{};
  run_state.resize(scene_count);
  const int record_count = scene_count > 0 ? scene_count - 1 : 0;
  loaded.assign(static_cast<std::size_t>(record_count), StoredCounts{});
  const std::size_t limit = statistics_read_limit(record_count);
  std::string content;
  if (!files.read_file(path, limit, content, warning)) return false;
  if (content.size() > limit) {
    if (warning) *warning = path + ": too long for this scenario's statistics; counting anew";
    return true;
  }
  if (!parse_statistics(content, record_count, loaded)) {
    loaded.assign(static_cast<std::size_t>(record_count), StoredCounts{});
  }
  for (int k = 0; k < record_count; ++k) {
    run_state.set_use_count(k + 1, loaded[k].use);
    run_state.set_run_count(k + 1, loaded[k].runs);
  }
  return true;
}

StatisticsRecords merge_statistics(std::string_view current, const RunState& run_state,
                                   const StatisticsRecords& loaded) {
  const int record_count = static_cast<int>(loaded.size());
  StatisticsRecords on_disk;
  const bool fits = parse_statistics(current, record_count, on_disk);
  StatisticsRecords merged(loaded.size());
  for (int k = 0; k < record_count; ++k) {
    const StoredCounts now{run_state.use_count(k + 1), run_state.run_count(k + 1)};
    merged[k] = now;
    if (fits) {
      merged[k].use = on_disk[k].use + (now.use - loaded[k].use);
      merged[k].runs = on_disk[k].runs + (now.runs - loaded[k].runs);
    }
    merged[k].runs = fit_field(merged[k].runs + 1);
  }
  return merged;
}

bool write_statistics(const std::string& path, const RunState& run_state,
                      const StatisticsRecords& loaded, FileStore& files, std::string* error) {
  const auto update = [&](std::string_view current) {
    return format_statistics(merge_statistics(current, run_state, loaded));
  };
  return files.update_file(path, statistics_read_limit(static_cast<int>(loaded.size())), update,
                           error);
}

}  // namespace plotwright
