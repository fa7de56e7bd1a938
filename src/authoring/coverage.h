// What many stories of one scenario reach: the stories that entered each scene, the draws at
// each scene and what they took, how the runs ended, and the length of each story.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string_view>
#include <utility>
#include <vector>

#include "generator/run_observer.h"

namespace plotwright {

// The draws at one scene's end, and how often each target was taken.
struct SceneDraws {
  std::int64_t draws = 0;
  std::int64_t none = 0;                            // draws where no candidate qualified
  std::vector<std::pair<int, std::int64_t>> taken;  // target, times; in the order first taken
};

// Counts what the runs do; begin_story() before each story, add_story_text() after it.
class CoverageRecorder final : public RunObserver {
 public:
  void begin_story() { ++stories_; }
  void scene_entered(int scene, SceneEntry how) override;
  void scene_selected(int scene, const std::vector<CandidateReport>& candidates,
                      int chosen) override;
  void story_ended(RunEnd end) override { ++ends_[end]; }
  // The story as shown (UTF-8, LF line ends): its lines and characters (line ends not counted).
  void add_story_text(std::string_view utf8);

  std::int64_t stories() const { return stories_; }
  // The stories that entered `scene` at least once.
  std::int64_t reached(int scene) const;
  // Null for a scene whose end never drew a candidate that leads anywhere.
  const SceneDraws* draws(int scene) const;
  const std::map<RunEnd, std::int64_t>& ends() const { return ends_; }
  const std::vector<std::int64_t>& lines() const { return lines_; }
  const std::vector<std::int64_t>& characters() const { return characters_; }

 private:
  std::int64_t stories_ = 0;
  std::vector<std::int64_t> reached_;     // by scene
  std::vector<std::int64_t> last_story_;  // by scene: the story that last entered it
  std::vector<SceneDraws> draws_;         // by scene
  std::map<RunEnd, std::int64_t> ends_;
  std::vector<std::int64_t> lines_;
  std::vector<std::int64_t> characters_;
};

// The smallest, middle (the lower of two) and largest of `values`; zeros when there are none.
struct Spread {
  std::int64_t min = 0;
  std::int64_t median = 0;
  std::int64_t max = 0;
};
Spread spread_of(std::vector<std::int64_t> values);

}  // namespace plotwright
