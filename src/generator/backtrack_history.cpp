// Pushing jumps onto the ring and popping the newest one still available.
#include "generator/backtrack_history.h"

namespace plotwright {

void BacktrackHistory::history_push(std::int32_t source_scene) {
  entries_[position_] = Entry{true, source_scene};
  ++count_;
  if (++position_ == kHistoryCapacity) position_ = 0;
}

bool BacktrackHistory::history_pop(std::int32_t& scene) {
  const int n = count_ < kHistoryCapacity ? count_ : kHistoryCapacity;
  for (int k = 0; k < n; ++k) {
    int slot = position_ - 1 - k;
    if (slot < 0) slot += kHistoryCapacity;
    Entry& entry = entries_[slot];
    if (entry.available) {
      entry.available = false;
      scene = entry.source_scene;
      return true;
    }
  }
  scene = 0;
  return false;
}

}  // namespace plotwright
