// The statistics file beside a scenario ("NAME.vus": one line of two 12-character numbers, the
// use count and the run count, for every scene but the last) and the seeding of the random
// source, which every load does.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/clock.h"
#include "base/random_source.h"
#include "generator/run_state.h"
#include "statistics/file_store.h"

namespace plotwright {

// srand(t AND 0x7FFF), then (t AND 0xFF) + 10 values skipped, t being the clock's seconds.
void seed_random(RandomSource& random, Clock& clock);

// The statistics file's path for a scenario path: the extension of the last component
// replaced by (or, without one, extended with) "vus". Works on bytes; any length.
std::string derive_statistics_path(std::string_view scenario_path);

// Seeds the random source, zeroes the run state of scenes 1 .. scene_count and reads the file.
// A file with fewer or more records than scene_count - 1, or with text that is not numbers,
// leaves every count at 0. Returns the record count (scene_count - 1, or 0).
int read_statistics(const std::string& path, int scene_count, RunState& run_state, FileStore& files,
                    RandomSource& random, Clock& clock);

// The file's content for the first `record_count` scenes, each run count raised by one first.
std::string format_statistics(int record_count, RunState& run_state);

// Raises the run counts and replaces the file whole. Returns an empty string on success,
// otherwise the reason (the old file is then left as it was).
std::string write_statistics(const std::string& path, int record_count, RunState& run_state,
                             FileStore& files);

}  // namespace plotwright
