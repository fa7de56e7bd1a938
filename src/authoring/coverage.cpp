// Counting what stories reach.
#include "authoring/coverage.h"

#include <algorithm>

namespace plotwright {

namespace {

template <typename T>
T& grown(std::vector<T>& by_scene, int scene) {
  if (by_scene.size() <= static_cast<std::size_t>(scene)) {
    by_scene.resize(static_cast<std::size_t>(scene) + 1);
  }
  return by_scene[static_cast<std::size_t>(scene)];
}

}  // namespace

void CoverageRecorder::scene_entered(int scene, SceneEntry /*how*/) {
  std::int64_t& last = grown(last_story_, scene);
  if (last == stories_) return;
  last = stories_;
  ++grown(reached_, scene);
}

void CoverageRecorder::scene_selected(int scene, const std::vector<CandidateReport>& candidates,
                                      int chosen) {
  if (std::none_of(candidates.begin(), candidates.end(),
                   [](const CandidateReport& c) { return c.target > 0; })) {
    return;  // a plain scene: nothing was drawn
  }
  SceneDraws& at = grown(draws_, scene);
  ++at.draws;
  if (chosen == 0) {
    ++at.none;
    return;
  }
  for (auto& [target, times] : at.taken) {
    if (target == chosen) {
      ++times;
      return;
    }
  }
  at.taken.emplace_back(chosen, 1);
}

void CoverageRecorder::add_story_text(std::string_view utf8) {
  std::int64_t line_ends = 0;
  std::int64_t continuation_bytes = 0;
  for (const char byte : utf8) {
    line_ends += byte == '\n';
    continuation_bytes += (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
  }
  const bool open_last_line = !utf8.empty() && utf8.back() != '\n';
  lines_.push_back(line_ends + (open_last_line ? 1 : 0));
  characters_.push_back(static_cast<std::int64_t>(utf8.size()) - continuation_bytes - line_ends);
}

std::int64_t CoverageRecorder::reached(int scene) const {
  return scene >= 0 && static_cast<std::size_t>(scene) < reached_.size() ? reached_[scene] : 0;
}

const SceneDraws* CoverageRecorder::draws(int scene) const {
  if (scene < 0 || static_cast<std::size_t>(scene) >= draws_.size()) return nullptr;
  return draws_[scene].draws > 0 ? &draws_[scene] : nullptr;
}

Spread spread_of(std::vector<std::int64_t> values) {
  if (values.empty()) return {};
  const auto middle = values.begin() + static_cast<std::ptrdiff_t>((values.size() - 1) / 2);
  std::nth_element(values.begin(), middle, values.end());
  const auto [low, high] = std::minmax_element(values.begin(), values.end());
  return {*low, *middle, *high};
}

}  // namespace plotwright
