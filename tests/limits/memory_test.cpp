// Memory over a long session: a thousand loads and regenerations in one process release what
// each load replaces. LeakSanitizer checks the sanitizer build when the test process exits;
// elsewhere the peak resident memory must stop growing once the first loads are done.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "base/clock.h"
#include "base/diagnostics.h"
#include "base/file_store.h"
#include "base/random_source.h"
#include "compiler/line_source.h"
#include "controller/document.h"

namespace plotwright {
namespace {

// Under AddressSanitizer freed memory waits in quarantine, so there only leaks are checked.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kPeakIsMeaningful = false;
#elif defined(__has_feature)
constexpr bool kPeakIsMeaningful = !__has_feature(address_sanitizer);
#else
constexpr bool kPeakIsMeaningful = true;
#endif

std::string example(const char* name) {
  const std::string path = std::string(PLOTWRIGHT_SOURCE_DIR) + "/examples/" + name;
  std::string bytes;
  if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
    char chunk[4096];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) bytes.append(chunk, n);
    std::fclose(file);
  }
  return bytes;
}

// Scenarios of every kind of load: stories, failed compiles, the line limit's neighbours,
// variables and templates, a cycle of empty scenes, a long line, many scenes.
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

TEST(Memory, AThousandLoadsAndRegenerationsInOneDocumentKeepThePeakBounded) {
  const std::vector<std::string> files = scenarios();
  StandardRandom random;
  FixedClock clock(7);
  MemoryFileStore disk;
  NullDiagnostics diagnostics;
  Document document(DocumentServices{&random, &clock, &disk, &diagnostics});
  long warmed_up = 0;
  for (int load = 0; load < 1000; ++load) {
    if (load == 100) warmed_up = peak_resident_kb();
    const std::size_t which = static_cast<std::size_t>(load) % files.size();
    MemoryLineSource source(files[which]);
    // Two paths per scenario, so that loads also save the statistics they replace.
    const std::string path =
        "/stories/" + std::to_string(which) + "-" + std::to_string(load % 2) + ".vell";
    document.load_scenario(source, path);
    document.regenerate();
  }
  document.shutdown(nullptr);
  EXPECT_LE(disk.files.size(), 2 * files.size());
  if (kPeakIsMeaningful) {
    EXPECT_LT(peak_resident_kb() - warmed_up, 4 * 1024) << "KB grown after the first 100 loads";
  }
}

TEST(Memory, AThousandDocumentsComeAndGoWithoutATrace) {
  const std::vector<std::string> files = scenarios();
  long warmed_up = 0;
  for (int round = 0; round < 1000; ++round) {
    if (round == 100) warmed_up = peak_resident_kb();
    StandardRandom random;
    FixedClock clock(round);
    MemoryFileStore disk;
    auto document = std::make_unique<Document>(DocumentServices{&random, &clock, &disk, nullptr});
    MemoryLineSource source(files[static_cast<std::size_t>(round) % files.size()]);
    document->load_scenario(source, "/stories/story.vell");
    document->regenerate();
    document->shutdown(nullptr);
  }
  if (kPeakIsMeaningful) {
    EXPECT_LT(peak_resident_kb() - warmed_up, 4 * 1024) << "KB grown after the first 100 rounds";
  }
}

}  // namespace
}  // namespace plotwright
