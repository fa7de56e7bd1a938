// The per-scene run state: disabled flag and priority (reset for every run, changed by jump
// directives) and the use and run counts (kept across runs and in the statistics file).
// Indexed by scene number; scene 0, and numbers beyond the scenario's scenes, read as enabled,
// priority 0 and never used, and take no changes.
#pragma once

#include <cstdint>
#include <vector>

namespace plotwright {

class RunState {
 public:
  // Makes room for scenes 1 .. scenes, keeping existing entries.
  void resize(int scenes) {
    const std::size_t size = static_cast<std::size_t>(scenes) + 1;
    disabled_.resize(size, 0);
    priority_.resize(size, 0);
    use_count_.resize(size, 0);
    run_count_.resize(size, 0);
  }
  int size() const { return static_cast<int>(disabled_.size()) - 1; }
  bool holds(int scene) const { return scene >= 1 && scene <= size(); }

  std::int32_t disabled(int scene) const { return holds(scene) ? disabled_[scene] : 0; }
  std::int32_t priority(int scene) const { return holds(scene) ? priority_[scene] : 0; }
  std::int64_t use_count(int scene) const { return holds(scene) ? use_count_[scene] : 0; }
  std::int64_t run_count(int scene) const { return holds(scene) ? run_count_[scene] : 0; }

  void set_disabled(int scene, std::int32_t value) {
    if (holds(scene)) disabled_[scene] = value;
  }
  void set_priority(int scene, std::int32_t value) {
    if (holds(scene)) priority_[scene] = value;
  }
  void set_use_count(int scene, std::int64_t value) {
    if (holds(scene)) use_count_[scene] = value;
  }
  void set_run_count(int scene, std::int64_t value) {
    if (holds(scene)) run_count_[scene] = value;
  }
  void add_use(int scene) {
    if (holds(scene)) ++use_count_[scene];
  }

 private:
  std::vector<std::int32_t> disabled_{0};
  std::vector<std::int32_t> priority_{0};
  std::vector<std::int64_t> use_count_{0};
  std::vector<std::int64_t> run_count_{0};
};

}  // namespace plotwright
