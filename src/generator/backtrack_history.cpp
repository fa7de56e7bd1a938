// Pushing jumps onto the ring and popping the newest one still available.
#include "generator/backtrack_history.h"

namespace plotwright {

void BacktrackHistory::history_push(const Record* target_list, const Record* source_list,
                                    std::int32_t kind, std::int32_t target_scene,
                                    std::int32_t source_scene) {
  entries_[position_] = Entry{target_list, source_list, kind, target_scene, source_scene};
  ++count_;
  if (++position_ == kHistoryCapacity) position_ = 0;
}

int BacktrackHistory::history_pop(std::int32_t& scene, const Record*& list) {
  const int n = count_ < kHistoryCapacity ? count_ : kHistoryCapacity;
  for (int k = 0; k < n; ++k) {
    int slot = position_ - 1 - k;
    if (slot < 0) slot += kHistoryCapacity;
    Entry& entry = entries_[slot];
    if (entry.kind == 1) {
      entry.kind = -1;
      scene = entry.source_scene;
      list = entry.source_list;
      return 0;
    }
  }
  scene = 0;
  list = nullptr;
  return 1;
}

}  // namespace plotwright
