// Fuzz target: a whole load (read, compile, statistics, one story), a regeneration and the
// shutdown, from arbitrary scenario bytes, with a fixed clock and files kept in memory.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "base/clock.h"
#include "base/diagnostics.h"
#include "base/file_store.h"
#include "base/limits.h"
#include "base/random_source.h"
#include "compiler/line_source.h"
#include "controller/document.h"

namespace {

// What every text the document shows must be: within the story buffer, without zero bytes.
void check_shown(std::string_view text) {
  if (text.size() >= static_cast<std::size_t>(plotwright::kStoryCapacity)) std::abort();
  if (std::memchr(text.data(), '\0', text.size()) != nullptr) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace plotwright;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  StandardRandom random;
  FixedClock clock(1234567);
  MemoryFileStore files;
  NullDiagnostics diagnostics;
  Document document(DocumentServices{&random, &clock, &files, &diagnostics});

  MemoryLineSource source(bytes);
  const LoadOutcome outcome = document.load_scenario(source, "/fuzz/scenario.vell");
  check_shown(outcome.text);
  if (outcome.generated != (!outcome.line_limit_reached && outcome.compile_errors == 0)) {
    std::abort();
  }
  if (const auto again = document.regenerate()) check_shown(*again);
  // Whether the statistics were saved is no concern of this target: it looks for crashes.
  static_cast<void>(document.shutdown(nullptr));
  return 0;
}
