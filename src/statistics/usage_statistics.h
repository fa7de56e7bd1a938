// The statistics file beside a scenario ("NAME.vus": one line of two 12-character numbers, the
// use count and the run count, for every scene but the last) and the seeding of the random
// source, which every load does.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/clock.h"
#include "base/file_store.h"
#include "base/random_source.h"
#include "generator/run_state.h"

namespace plotwright {

// One record of the statistics file: record k holds scene k + 1.
struct StoredCounts {
  std::int64_t use = 0;
  std::int64_t runs = 0;
};
using StatisticsRecords = std::vector<StoredCounts>;

// srand(t AND 0x7FFF), then (t AND 0xFF) + 10 values skipped, t being the clock's seconds.
void seed_random(RandomSource& random, Clock& clock);

// The bytes of the statistics file worth reading for `record_count` records.
std::size_t statistics_read_limit(int record_count);

// Reads `record_count` records from a file's content ("%12ld%12ld\n" each). True when the
// content fits: exactly that many records, and numbers only. `records` is then filled.
[[nodiscard]] bool parse_statistics(std::string_view content, int record_count,
                                    StatisticsRecords& records);

// The file's content for the records, each count within its field.
std::string format_statistics(const StatisticsRecords& records);

// Seeds the random source, zeroes the run state of scenes 1 .. scene_count and reads the
// file. `loaded` gets scene_count - 1 records (none for no scene): the counts read, or zeros
// when the file does not fit (fewer or more records, or text that is not numbers), and the
// run state's use and run counts the same. Returns false when the file was refused (a
// symbolic link, a FIFO, a device, unreadable): the counts start from zero and the file must
// not be written. `warning` gets what the user should know: why it was refused, or that it
// was too long to be a statistics file of this scenario.
[[nodiscard]] bool read_statistics(const std::string& path, int scene_count, RunState& run_state,
                                   FileStore& files, RandomSource& random, Clock& clock,
                                   StatisticsRecords& loaded, std::string* warning);

// The records to write: when the file on disk (`current`) fits, its counts plus what this
// program run changed since `loaded` was read, so that programs running at once add up;
// otherwise this run's counts. Every run count is raised by one.
StatisticsRecords merge_statistics(std::string_view current, const RunState& run_state,
                                   const StatisticsRecords& loaded);

// Replaces the file with the merged records, atomically and under the file's lock. False,
// with the reason in `error` and the old file as it was, when it cannot be written.
[[nodiscard]] bool write_statistics(const std::string& path, const RunState& run_state,
                                    const StatisticsRecords& loaded, FileStore& files,
                                    std::string* error);

}  // namespace plotwright
