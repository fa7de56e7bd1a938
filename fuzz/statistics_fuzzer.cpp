// Fuzz target: reading a statistics file of arbitrary content for a scenario of a given size.
// The first two bytes give the number of scenes, the rest is the file. Whatever was read must
// come back unchanged from the file the program writes for it, but for counts too wide for a
// field, which come back at the field's edge.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/clock.h"
#include "base/file_store.h"
#include "base/random_source.h"
#include "generator/run_state.h"
#include "statistics/usage_statistics.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace plotwright;
  if (size < 2) return 0;
  const int scenes = (data[0] | (data[1] << 8)) % 5000;
  const std::string path = "/fuzz/scenario.vus";
  MemoryFileStore files;
  files.files[path] = std::string(reinterpret_cast<const char*>(data) + 2, size - 2);
  StandardRandom random;
  FixedClock clock(99);

  RunState read;
  StatisticsRecords loaded;
  // Arbitrary bytes may well be refused; what was read must still be sound.
  static_cast<void>(read_statistics(path, scenes, read, files, random, clock, loaded, nullptr));
  const int records = static_cast<int>(loaded.size());
  if (records != (scenes > 0 ? scenes - 1 : 0)) std::abort();

  // Every line the program writes is two 12-character fields and a line feed; a save with
  // nothing changed raises the run counts only.
  const StatisticsRecords merged = merge_statistics(files.files[path], read, loaded);
  const std::string content = format_statistics(merged);
  if (content.size() != static_cast<std::size_t>(records) * 25) std::abort();
  for (int k = 0; k < records; ++k) {
    if (content[static_cast<std::size_t>(k) * 25 + 24] != '\n') std::abort();
  }

  files.files[path] = content;
  RunState reread;
  // Whether it reads back is judged by the counts it gives, record by record.
  static_cast<void>(read_statistics(path, scenes, reread, files, random, clock, loaded, nullptr));
  for (int scene = 1; scene <= records; ++scene) {
    const StoredCounts& record = merged[static_cast<std::size_t>(scene - 1)];
    const std::int64_t use = std::clamp<std::int64_t>(record.use, -9999999999, 99999999999);
    if (reread.use_count(scene) != use || reread.run_count(scene) != record.runs) std::abort();
  }
  return 0;
}
