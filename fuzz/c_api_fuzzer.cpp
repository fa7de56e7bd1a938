// Fuzz target: the C interface of libplotwright on arbitrary bytes, called as a C program
// calls it. The first byte picks the encoding (some values outside the enum, as C lets
// through), the next four the seed; the rest is the scenario, and what follows its last zero
// byte, if any, the statistics text to set. Besides the sanitizers, it holds the interface to
// what its header promises: the statuses each call may give, one seed telling one story until
// the statistics are saved or set, and the statistics it hands out taken back as they are.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>

#include "plotwright/plotwright.h"

namespace {

void require(bool holds) {
  if (!holds) std::abort();
}

bool one_of(plotwright_status status, std::initializer_list<plotwright_status> allowed) {
  for (const plotwright_status one : allowed) {
    if (status == one) return true;
  }
  return false;
}

// A story from `seed`: OK, or the messages of a scenario that does not compile.
std::string story(plotwright_scenario* h, std::uint32_t seed, plotwright_status& status) {
  const char* text = nullptr;
  std::size_t length = 0;
  status = plotwright_story(h, seed, &text, &length);
  require(one_of(status, {PLOTWRIGHT_OK, PLOTWRIGHT_SCENARIO_ERROR}) && text != nullptr);
  return std::string(text, length);
}

std::string statistics(plotwright_scenario* h) {
  const char* text = nullptr;
  std::size_t length = 0;
  require(plotwright_statistics(h, &text, &length) == PLOTWRIGHT_OK && text != nullptr);
  return std::string(text, length);
}

// Runs, statistics and diagnostics of a scenario that opened.
void exercise(plotwright_scenario* h, std::uint32_t seed, std::string_view other_statistics) {
  const std::string before = statistics(h);
  plotwright_status status = PLOTWRIGHT_OK;
  const std::string first = story(h, seed, status);
  if (status == PLOTWRIGHT_OK) {
    const char* text = nullptr;
    require(plotwright_regenerate(h, &text, nullptr) == PLOTWRIGHT_OK && text != nullptr);
    std::size_t length = 0;
    require(plotwright_raw_story(h, &text, &length) == PLOTWRIGHT_OK);
  }
  plotwright_status again = PLOTWRIGHT_OK;
  require(story(h, seed, again) == first && again == status);  // nothing was saved or set
  const std::string counted = statistics(h);
  require(plotwright_set_statistics(h, before.data(), before.size()) == PLOTWRIGHT_OK);
  require(statistics(h) == before && story(h, seed, again) == first);
  require(plotwright_set_statistics(h, counted.data(), counted.size()) == PLOTWRIGHT_OK);
  require(statistics(h) == counted);
  status = plotwright_set_statistics(h, other_statistics.data(), other_statistics.size());
  require(one_of(status, {PLOTWRIGHT_OK, PLOTWRIGHT_ARGUMENT_ERROR}));
  story(h, seed + 1, status);
  require(plotwright_save_statistics(h) == PLOTWRIGHT_OK);
  const plotwright_diagnostic* list = nullptr;
  std::size_t count = 0;
  require(plotwright_diagnostics(h, &list, &count) == PLOTWRIGHT_OK);
  for (std::size_t i = 0; i < count; ++i) {
    require(list[i].line >= 1 && list[i].code != nullptr && list[i].message != nullptr);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 5) return 0;
  // -1 to 4: the three encodings and three values a C caller may pass that name none.
  const int encoding = data[0] % 6 - 1;
  std::uint32_t seed = 0;
  std::memcpy(&seed, data + 1, sizeof seed);
  std::string_view rest(reinterpret_cast<const char*>(data) + 5, size - 5);
  std::string_view other_statistics;
  if (const std::size_t zero = rest.rfind('\0'); zero != rest.npos) {
    other_statistics = rest.substr(zero + 1);
    rest = rest.substr(0, zero);
  }

  plotwright_scenario* h = plotwright_new();
  require(h != nullptr);
  // The value goes to the call as it is, never through a variable of the enum's type, as it
  // would from C.
  const plotwright_status opened =
      plotwright_open_text(h, rest.data(), rest.size(), static_cast<plotwright_encoding>(encoding));
  require(plotwright_message(h) != nullptr);
  if (encoding < 0 || encoding > 2) {
    require(opened == PLOTWRIGHT_ARGUMENT_ERROR);
  } else {
    require(one_of(opened, {PLOTWRIGHT_OK, PLOTWRIGHT_ENCODING_ERROR}));
  }
  if (opened == PLOTWRIGHT_OK) exercise(h, seed, other_statistics);
  plotwright_free(h);
  return 0;
}
