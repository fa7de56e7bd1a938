// The backtrack history: a ring of the last 1000 jumps of a run, so that a jumped-to scene
// that ends with nowhere to go returns to the line after the jump. Each jump serves for at
// most one return.
#pragma once

#include <array>
#include <cstdint>

#include "base/limits.h"
#include "compiler/scene_table.h"

namespace plotwright {

class BacktrackHistory {
 public:
  struct Entry {
    const Record* target_list = nullptr;
    const Record* source_list = nullptr;
    std::int32_t kind = 0;  // 1: available for a return; -1: used
    std::int32_t target_scene = 0;
    std::int32_t source_scene = 0;
  };

  void history_push(const Record* target_list, const Record* source_list, std::int32_t kind,
                    std::int32_t target_scene, std::int32_t source_scene);
  // The source of the newest jump not yet used for a return (marking it used): returns 0 and
  // sets `scene`, or returns 1 with `scene` 0 when there is none.
  int history_pop(std::int32_t& scene, const Record*& list);
  // Empties the history for a new run; old entries stay in the ring, out of reach.
  void reset() {
    position_ = 0;
    count_ = 0;
  }
  std::int32_t count() const { return count_; }

 private:
  std::array<Entry, kHistoryCapacity> entries_{};
  std::int32_t position_ = 0;
  std::int32_t count_ = 0;
};

}  // namespace plotwright
