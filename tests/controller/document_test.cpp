// The document across loads: what a failed load leaves, the statistics a load replaces, the
// seeding, and a statistics write that fails.
#include "controller/document.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace plotwright {
namespace {

using testing::ScenarioHarness;

// Two titles: a place with more than one candidate, so the statistics are used. Scenes 14 and
// 15 are the titles, so the file has 14 records.
constexpr const char* kTwoTitles = "title A\nAlpha.\ntitle B\nBeta.\n";

// The statistics records of `uses` (scene 1 first) with every run count `runs`.
std::string records(std::initializer_list<long long> uses, long long runs) {
  std::string text;
  char line[32];
  for (long long use : uses) {
    std::snprintf(line, sizeof line, "%12lld%12lld\n", use, runs);
    text += line;
  }
  return text;
}

// Every load seeds the random source, a failed one too; regeneration does not.
TEST(Document, BeforeAnyLoadAndAfterAFailedOneThereIsNothingToRegenerate) {
  ScenarioHarness h;
  EXPECT_EQ(Document::new_document_text(), "Vell language scenario file is required");
  EXPECT_EQ(h.regenerate(), "<nothing>");
  EXPECT_EQ(h.document.statistics_text(), "");
  h.load(kTwoTitles);
  h.regenerate();
  EXPECT_EQ(h.scripted.seedings, 1);
  const std::string shown = h.load("title A\n{R}\nselect R\nNowhere\n\n");
  EXPECT_EQ(h.outcome.compile_errors, 2);
  // The compile's messages alone, never behind the story shown before.
  EXPECT_EQ(shown.rfind("Scene \"Nowhere\" not found", 0), 0u) << shown;
  EXPECT_FALSE(h.outcome.generated);
  EXPECT_EQ(h.regenerate(), "<nothing>");
  EXPECT_EQ(h.files.writes, 1);  // the statistics of the scenario the failed load replaced
  EXPECT_EQ(h.scripted.seedings, 2);
  // A scenario without choices has no statistics to write.
  h.load("title A\nHello.\n");
  EXPECT_EQ(h.document.statistics_text(), "");
}

TEST(Document, ALoadSavesTheStatisticsItReplacesAndStartsAfresh) {
  ScenarioHarness h;
  h.load(kTwoTitles, "/a/one.vell");
  h.regenerate();
  h.load(kTwoTitles, "/b/two.vell");
  EXPECT_EQ(h.files.files["/a/one.vus"], records({2, 2, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 2, 1}, 1));
  EXPECT_EQ(h.engine().run_state().use_count(1), 1);
  // A scenario without statistics zeroes the counts; nothing is left to write at exit.
  h.load("title C\nGamma.\n", "/c/three.vell");
  EXPECT_EQ(h.files.files["/b/two.vus"], records({1, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1, 1}, 1));
  EXPECT_EQ(h.engine().run_state().use_count(1), 1);
  EXPECT_EQ(h.files.writes, 2);
  EXPECT_EQ(h.files.files.count("/c/three.vus"), 0u);
}

TEST(Document, StatisticsTextIsWhatShutdownWouldWriteAndChangesNothing) {
  ScenarioHarness h;
  h.files.files["/s/test.vus"] = records({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5}, 2);
  h.load(kTwoTitles, "/s/test.vell");
  h.regenerate();
  const std::string now = h.document.statistics_text();
  EXPECT_EQ(now, h.document.statistics_text());
  EXPECT_EQ(h.files.writes, 0);
  EXPECT_TRUE(h.document.shutdown(nullptr));
  EXPECT_EQ(h.files.files["/s/test.vus"], now);
  // After the save nothing is left to write.
  EXPECT_EQ(h.document.statistics_text(), "");
}

TEST(Document, TellsWhyTheLastRunEnded) {
  // The work runs out on a line (every line looks its variable up among 80 names of 4,000
  // bytes that differ at the end), or on a scene change (every change weighs 100 conditions
  // of 4,000 bytes).
  const std::string name(4000, 'n');
  std::string on_a_line = "title T\n";
  for (int i = 0; i < 80; ++i) on_a_line += "][%" + name + std::to_string(i) + "=1]\n";
  on_a_line += "{A}\nscene A\n<%" + name + "Z==1>a\n{A}\n";
  std::string on_a_change = "title T\n{A}\nselect A\n";
  for (int i = 0; i < 100; ++i) on_a_change += "<%" + name + std::to_string(i) + "==0>A\n";
  std::vector<std::pair<std::string, RunEnd>> cases = {
      {"title A\nHello.\n", RunEnd::END_SCENE},
      {"title A\n{!000007}\n", RunEnd::LINE_LIMIT},
      {"title A\n{R}\nselect R\nR\n", RunEnd::SCENE_CHANGE_LIMIT},
      {on_a_line, RunEnd::WORK_LIMIT}};
  // Many times slower under AddressSanitizer, where the run out of work on a line stands for it.
#if !defined(__SANITIZE_ADDRESS__)
  cases.emplace_back(on_a_change, RunEnd::WORK_LIMIT);
#endif
  for (const auto& [scenario, end] : cases) {
    ScenarioHarness h;
    h.load(scenario);
    EXPECT_EQ(h.document.last_run_end(), end) << scenario.substr(0, 30);
  }
}

// A run's work: each scene change costs a step and a step for each candidate it weighs (the
// end mark too) plus its conditions' text; a line of the general path its bytes and the text
// variables it prints, once per expansion pass, and each variable lookup the names compared.
// Plain lines, which the line limit bounds, cost nothing.
TEST(Document, ARunCountsTheWorkOfEachSceneChangeCandidateConditionAndLine) {
  const auto work = [](const std::string& scenario) {
    ScenarioHarness h;
    h.load(scenario);
    return h.engine().run_work();
  };
  const std::string opening = "title A\n{B}\nselect B\n";
  const std::int64_t base = work(opening + "C\nscene C\n");
  EXPECT_EQ(base, 128);  // the built-in scenes' changes, the title's, B's and C's
  EXPECT_EQ(work(opening + "C\nC\nscene C\n") - base, kStepWork);
  EXPECT_EQ(work(opening + "<%x==0>C\nscene C\n") - base, 5);
  EXPECT_EQ(work(opening + "C\nscene C\nHello (a|b).\n") - base, 0);
  // 8 bytes and the 1 byte of v's text, 11 passes each; looking v up finds 1 name of 1 byte.
  EXPECT_EQ(work(opening + "C\nscene C\n[v=x][v]\n") - base,
            (1 + 8 + 1 + 1) * (1 + kMaxGroupPasses) + 2);
}

TEST(Document, AFailedStatisticsWriteIsReported) {
  // Reads nothing and fails every write.
  class FailingFileStore final : public FileStore {
   public:
    bool read_file(const std::string&, std::size_t, std::string& content, std::string*) override {
      content.clear();
      return true;
    }
    bool update_file(const std::string& path, std::size_t, const Update&,
                     std::string* error) override {
      *error = path + ": disk full";
      return false;
    }
  } files;
  FixedClock clock(0);
  Document document(DocumentServices{nullptr, &clock, &files, nullptr});
  MemoryLineSource first(kTwoTitles);
  EXPECT_EQ(document.load_scenario(first, "/s/one.vell").statistics_error, "");
  MemoryLineSource second(kTwoTitles);
  EXPECT_EQ(document.load_scenario(second, "/s/two.vell").statistics_error,
            "/s/one.vus: disk full");
  std::string error;
  EXPECT_FALSE(document.shutdown(&error));
  EXPECT_EQ(error, "/s/two.vus: disk full");
}

}  // namespace
}  // namespace plotwright
