// Memory over a long session: loads and regenerations, in one document and in documents that
// come and go, release what each load replaces. LeakSanitizer checks the sanitizer build when
// the test process exits; elsewhere the peak resident memory must stop growing once the first
// loads are done.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "base/clock.h"
#include "base/file_store.h"
#include "base/random_source.h"
#include "compiler/line_source.h"
#include "controller/document.h"

namespace plotwright {
namespace {

// Under AddressSanitizer freed memory waits in quarantine, so there only leaks are checked,
// and a few rounds of each kind of load are enough.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kRounds = 40;
#else
constexpr int kRounds = 600;
#endif

std::string example(const char* name) {
  std::ifstream file(std::string(PLOTWRIGHT_SOURCE_DIR) + "/examples/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

// Scenarios of every kind of load: stories, failed compiles, variables and templates, a cycle
// of empty scenes, a long line, many scenes, an empty file.
std::vector<std::string> scenarios() {
  std::string many_scenes = "title A\nOne.\ntitle B\nTwo.\n";
  for (int i = 0; i < 1000; ++i) many_scenes += "scene S" + std::to_string(i) + "\nx\n";
  return {
      example("the-lighthouse-keeper.vell"),
      example("yoru-no-eki.sjis.vell"),
      "title A\n{Road}\nselect Road\nNowhere\n<abc>Forest\n",
      "title A\n[hero=(Anna|Mia)][%n=1e300]\n[hero] [%n] [%Dn]\n{!A}\n",
      "title A\nbefore\n{B}\nselect B\nC\nselect C\nB\n",
      "title A\n" + std::string(20000, 'w') + "\n",
      many_scenes,
      "",
  };
}

long peak_resident_kb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

TEST(Memory, LoadsAndRegenerationsKeepThePeakBounded) {
  const std::vector<std::string> files = scenarios();
  StandardRandom random;
  FixedClock clock(7);
  MemoryFileStore disk;
  auto document = std::make_unique<Document>(DocumentServices{&random, &clock, &disk, nullptr});
  [[maybe_unused]] long warmed_up = 0;
  for (int load = 0; load < kRounds; ++load) {
    if (load == kRounds / 6) warmed_up = peak_resident_kb();
    // Every third load comes in a new document; two paths per scenario, so that loads also
    // save the statistics they replace.
    if (load % 3 == 0) {
      EXPECT_TRUE(document->shutdown(nullptr));
      document = std::make_unique<Document>(DocumentServices{&random, &clock, &disk, nullptr});
    }
    const std::size_t which = static_cast<std::size_t>(load) % files.size();
    MemoryLineSource source(files[which]);
    document->load_scenario(source, "/s/" + std::to_string(which) + std::to_string(load % 2));
    static_cast<void>(document->regenerate());  // only its memory is measured
  }
  EXPECT_TRUE(document->shutdown(nullptr));
  EXPECT_LE(disk.files.size(), 2 * files.size());
#if !defined(__SANITIZE_ADDRESS__)
  EXPECT_LT(peak_resident_kb() - warmed_up, 4 * 1024) << "KB grown after the first loads";
#endif
}

}  // namespace
}  // namespace plotwright
