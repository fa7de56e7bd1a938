// The backtrack history: a ring of the last 1000 jumps of a run, so that a jumped-to scene
// that ends with nowhere to go returns to the scene that jumped, after the jump's line. Each
// jump serves for at most one return.
#pragma once

#include <array>
#include <cstdint>

#include "base/limits.h"

namespace plotwright {

class BacktrackHistory {
 public:
  // Records a jump from `source_scene`, available for one return.
  void history_push(std::int32_t source_scene);
  // Takes the source of the newest jump not yet used for a return, marking it used: true, with
  // `scene` set; false, with `scene` 0, when there is none.
  [[nodiscard]] bool history_pop(std::int32_t& scene);
  // Empties the history for a new run; old entries stay in the ring, out of reach.
  void reset() {
    position_ = 0;
    count_ = 0;
  }
  std::int32_t count() const { return count_; }

 private:
  struct Entry {
    bool available = false;
    std::int32_t source_scene = 0;
  };

  std::array<Entry, kHistoryCapacity> entries_{};
  std::int32_t position_ = 0;
  std::int32_t count_ = 0;
};

}  // namespace plotwright
