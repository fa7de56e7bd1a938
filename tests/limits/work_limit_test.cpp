// The work limit of one run: scenarios that ask for hours of work within the line and step
// limits end after a few seconds' worth, while real scenarios never come near it.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/limits.h"
#include "controller/engine.h"
#include "support/test_support.h"

namespace plotwright {
namespace {

using testing::kClosing;
using testing::lf;
using testing::ScenarioHarness;

bool ends_with_closing_banner(const std::string& story) {
  return lf(story).ends_with(kClosing);
}

// Scenarios that ask one run for hours of work within the line and step limits.
struct HostileRun {
  const char* what;
  std::string scenario;
};

std::vector<HostileRun> hostile_runs() {
  // A template that keeps 4,000 bytes through ten passes, printed 1,365 times a line.
  std::string nested_text;
  while (nested_text.size() < 3990)
    nested_text += "((((((((((" + std::string(10, 'x') + "))))))))))";
  // Within the 1024 bytes the bracket check reads, "][" and the groups balance.
  const std::string assign = "][v=" + nested_text.substr(0, 3990) + "]";
  const std::string prints = "z" + [] {
    std::string text;
    for (int i = 0; i < 1365; ++i) text += "[v]";
    return text;
  }();
  // A select block whose 100 choices test 4,000-byte conditions, choosing itself again.
  std::string cycle = "title T\n{A}\nselect A\n";
  for (int i = 0; i < 100; ++i) {
    cycle += "<%" + std::string(4000, 'x') + std::to_string(i) + "==0>A\n";
  }
  // 80 variables whose 4,000-byte names differ only at the end, looked up on every line.
  std::string lookups = "title T\n";
  for (int i = 0; i < 80; ++i) {
    lookups += "][%" + std::string(4000, 'n') + std::to_string(i) + "=1]\n";
  }
  lookups += "{A}\nscene A\n<%" + std::string(4000, 'n') + "Z==1>a\n{A}\n";
  return {
      {"long variable names", lookups},
      {"a long template printed over and over",
       "title T\n{Again}\nscene Again\n" + assign + "\n" + prints + "\n{Again}\n"},
      {"a cycle of long conditions", cycle},
  };
}

// The sanitizer build is many times slower: there the quickest of the runs is enough to take
// a story through the limit under AddressSanitizer; the optimised build takes all three.
#if !defined(NDEBUG) || defined(__SANITIZE_ADDRESS__)
constexpr std::size_t kHostileRuns = 1;
#else
constexpr std::size_t kHostileRuns = 3;
#endif

TEST(WorkLimit, AHostileRunEndsOnceItHasDoneTheWorkOfAFewSeconds) {
  const std::vector<HostileRun> runs = hostile_runs();
  for (std::size_t i = 0; i < kHostileRuns && i < runs.size(); ++i) {
    const HostileRun& run = runs[i];
    ScenarioHarness h;
    const std::string story = h.load(run.scenario);
    EXPECT_TRUE(h.outcome.generated) << run.what;
    EXPECT_FALSE(ends_with_closing_banner(story)) << run.what;
    // The run stops after the line or scene change that went over the limit.
    EXPECT_GT(h.engine().run_work(), kRunWorkLimit) << run.what;
    EXPECT_LT(h.engine().run_work(), kRunWorkLimit + kRunWorkLimit / 2) << run.what;
  }
}

TEST(WorkLimit, TheExamplesStayFarBelowIt) {
  for (const char* example : {"the-lighthouse-keeper.vell", "yoru-no-eki.sjis.vell"}) {
    const std::string path = std::string(PLOTWRIGHT_SOURCE_DIR) + "/examples/" + example;
    std::string file;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
      char chunk[4096];
      for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;) file.append(chunk, n);
      std::fclose(f);
    }
    ASSERT_FALSE(file.empty()) << path;
    StandardRandom random;
    ScenarioHarness h(&random);
    for (int story = 0; story < 20; ++story) {
      const std::string text = story == 0 ? h.load(file) : h.regenerate();
      EXPECT_TRUE(ends_with_closing_banner(text)) << example;
      EXPECT_LT(h.engine().run_work(), kRunWorkLimit / 1000) << example;
    }
  }
}

}  // namespace
}  // namespace plotwright
