// The slowest scenarios we know how to write, each of which must load (read, compile, tell a
// story) within a few seconds of processor time. Timed in optimised builds only: the sanitizer
// build runs the same shapes, smaller, in the other limits tests.
#include <gtest/gtest.h>
#include <time.h>

#include <functional>
#include <string>
#include <vector>

#include "base/limits.h"
#include "support/test_support.h"

namespace plotwright {
namespace {

using testing::ScenarioHarness;
using testing::ScriptedRandom;

constexpr double kSecondsPerLoad = 3.0;

double processor_seconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

std::string repeated(const std::string& text, int times) {
  std::string out;
  out.reserve(text.size() * static_cast<std::size_t>(times));
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

// A scene that runs `line` and jumps back to itself until the run's limits end it.
std::string looping(const std::string& line) {
  return "title T\n{Again}\nscene Again\n" + line + "\n{Again}\n";
}

struct Hostile {
  const char* what;
  std::function<std::string()> scenario;
};

const std::vector<Hostile>& hostile_scenarios() {
  // Text that keeps the bracket check (which reads 1024 bytes) quiet whatever follows.
  static const std::string pad(1030, 'p');
  static const std::vector<Hostile> all = {
      {"199,998 lines of groups nested twelve deep",
       [] {
         return "title T\n" + repeated("[a]((((((((((((x|y)|z)|w)|v)|u)|t)|s)|r)|q)|p)|o)|n)\n",
                                       kMaxStoredLines - 2);
       }},
      {"199,998 scene blocks, the most a file can hold",
       [] {
         std::string text = "title A\none\ntitle B\ntwo\n";
         for (int i = 0; i < kMaxStoredLines - 5; ++i) text += "scene S" + std::to_string(i) + "\n";
         return text;
       }},
      {"a 4,000-byte line nested ten deep, run 15,000 times",
       [] {
         return looping(pad + repeated("((((((((((" + std::string(30, 'x') + "))))))))))", 60));
       }},
      {"a line of 3,000 separators nested ten deep, run 15,000 times",
       [] { return looping(pad + "((((((((((" + std::string(3000, '|') + "))))))))))"); }},
      {"a line of 4,000 separators, run 15,000 times",
       [] { return looping(std::string(4000, '|')); }},
      {"1,000-deep groups beyond the bracket check, run 15,000 times",
       [] { return looping(pad + std::string(1000, '(') + "x|y" + std::string(1000, ')')); }},
      {"a 4,000-byte template printed 1,365 times a line",
       [] {
         const std::string text = repeated("((((((((((" + std::string(10, 'x') + "))))))))))", 133);
         return "title T\n{Again}\nscene Again\n][v=" + text.substr(0, 3990) + "]\nz" +
                repeated("[v]", 1365) + "\n{Again}\n";
       }},
      {"a cycle through 100 choices of 4,000-byte conditions",
       [] {
         std::string text = "title T\n{A}\nselect A\n";
         for (int i = 0; i < 100; ++i) {
           text += "<%" + std::string(4000, 'x') + std::to_string(i) + "==0>A\n";
         }
         return text;
       }},
      {"80 variables with 4,000-byte names looked up on every line",
       [] {
         std::string text = "title T\n";
         for (int i = 0; i < 80; ++i) {
           text += "][%" + std::string(4000, 'n') + std::to_string(i) + "=1]\n";
         }
         return text + "{A}\nscene A\n<%" + std::string(4000, 'n') + "Z==1>a\n{A}\n";
       }},
      {"100,000 jumps through a chain of 9,980 empty select blocks",
       [] {
         std::string text = "title T\n" + repeated("{X1}\n", 100000);
         for (int i = 1; i <= 9980; ++i) {
           text += "select X" + std::to_string(i) + "\n";
           text += i < 9980 ? "X" + std::to_string(i + 1) + "\n" : "L\n";
         }
         return text + "scene L\nline\n";
       }},
  };
  return all;
}

TEST(Hangs, NoHostileScenarioTakesMoreThanAFewSecondsToLoad) {
#if !defined(NDEBUG) || defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "timed in optimised builds only";
#endif
  for (const Hostile& hostile : hostile_scenarios()) {
    const std::string scenario = hostile.scenario();
    ScriptedRandom random({}, 12345);
    ScenarioHarness h(&random);
    const double start = processor_seconds();
    h.load(scenario);
    h.document.shutdown(nullptr);
    const double seconds = processor_seconds() - start;
    EXPECT_LT(seconds, kSecondsPerLoad) << hostile.what;
    std::printf("%6.2f s  %s\n", seconds, hostile.what);
  }
}

}  // namespace
}  // namespace plotwright
