// The four passes of the candidate selection.
#include "generator/candidate_selection.h"

#include <limits>

#include "base/limits.h"
#include "generator/conditions.h"

namespace plotwright {

namespace {

// The candidates: the first record, then the records that follow it up to the end record or
// a record that starts something else (a label or lines), at most 100 in all. A list that is
// only its end record (a select block without choices) has that one candidate: the records
// after it belong to the next scene, or lie beyond the table.
int count_candidates(const Record* list) {
  if (list[0].is_end()) return 1;
  int count = 1;
  while (count < kMaxCandidates) {
    const Record& record = list[count];
    if (record.label || record.lines.present() || record.is_end()) break;
    ++count;
  }
  return count;
}

}  // namespace

int select_next_scene(const Record* list, const RunState& run_state, VariableStore& variables,
                      RandomSource& random, std::vector<CandidateReport>* report) {
  const int count = count_candidates(list);
  bool satisfied[kMaxCandidates];
  std::int32_t highest = 0;
  for (int i = 0; i < count; ++i) {
    const int target = list[i].target;
    if (!run_state.disabled(target) && run_state.priority(target) > highest) {
      highest = run_state.priority(target);
    }
    satisfied[i] =
        !list[i].condition.present() || test_condition_text(list[i].condition.items[0], variables);
  }
  auto eligible = [&](int i) {
    const int target = list[i].target;
    return satisfied[i] && !run_state.disabled(target) && run_state.priority(target) == highest;
  };
  // The least use among the eligible candidates, whatever its size: counts from the
  // statistics file reach 99,999,999,999, and this run's uses add to them.
  std::int64_t least = std::numeric_limits<std::int64_t>::max();
  for (int i = 0; i < count; ++i) {
    if (eligible(i) && run_state.use_count(list[i].target) < least) {
      least = run_state.use_count(list[i].target);
    }
  }
  auto ties = [&](int i) { return eligible(i) && run_state.use_count(list[i].target) == least; };
  int tie_count = 0;
  for (int i = 0; i < count; ++i) tie_count += ties(i) ? 1 : 0;
  if (report) {
    report->clear();
    for (int i = 0; i < count; ++i) {
      const int target = list[i].target;
      report->push_back(CandidateReport{target,
                                        run_state.use_count(target),
                                        run_state.priority(target),
                                        run_state.disabled(target) != 0,
                                        satisfied[i],
                                        ties(i),
                                        {}});
      // Read again for the reader: a condition only reads, so the values are the same.
      if (list[i].condition.present()) {
        test_condition_text(list[i].condition.items[0], variables, &report->back().reading);
      }
    }
  }
  if (tie_count == 0) return 0;
  const int pick = static_cast<int>(random.rand() / 32768.0 * tie_count);
  for (int i = 0, seen = 0; i < count; ++i) {
    if (ties(i) && seen++ == pick) return list[i].target;
  }
  return 0;
}

}  // namespace plotwright
