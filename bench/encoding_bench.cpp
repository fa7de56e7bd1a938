// Benchmarks of the encodings: stories shown as UTF-8, UTF-8 scenarios read, and the search
// for a character that Shift-JIS cannot hold at the end of a large file.
#include <benchmark/benchmark.h>

#include <optional>
#include <string>

#include "base/clock.h"
#include "bench_scenarios.h"
#include "compiler/source_reader.h"
#include "controller/document.h"
#include "encoding/scenario_encoding.h"

namespace plotwright::bench {
namespace {

// The codec, or none when the system has no CP932 converter: the benchmark is skipped.
std::optional<Cp932Codec> open_codec(benchmark::State& state) {
  std::optional<Cp932Codec> codec;
  std::string error;
  if (!Cp932Codec::open(codec, &error)) state.SkipWithError(error.c_str());
  return codec;
}

// A story the engine wrote from the peer-shaped scenario: about 2,100 bytes of ASCII.
std::string peer_shaped_story() {
  const std::string text = peer_shaped_scenario();
  MemoryLineSource source(text);
  FixedClock clock(1);
  NullFileStore files;
  Document document(DocumentServices{nullptr, &clock, &files, nullptr});
  return std::string(document.load_scenario(source, "/bench/scenario.vell").text);
}

// About `bytes` of Shift-JIS kana in lines of 40 characters ending in CR LF.
std::string japanese_engine_text(std::size_t bytes) {
  std::string text;
  for (unsigned n = 0; text.size() < bytes; ++n) {
    // Hiragana 0x829F to 0x82F1, katakana 0x8340 to 0x8396 (0x837F is no code).
    const unsigned kana = n * 7 % 160;
    const unsigned katakana = kana - 83 + (kana - 83 >= 0x3F);
    text += kana < 83 ? "\x82" + std::string(1, static_cast<char>(0x9F + kana))
                      : "\x83" + std::string(1, static_cast<char>(0x40 + katakana));
    if (n % 40 == 39) text += "\r\n";
  }
  return text;
}

void convert_stories(benchmark::State& state, const std::string& story) {
  std::optional<Cp932Codec> codec = open_codec(state);
  if (!codec) return;
  for (auto _ : state) benchmark::DoNotOptimize(codec->engine_text_to_utf8(story));
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * story.size()));
}

void BM_StoryToUtf8(benchmark::State& state) {
  convert_stories(state, peer_shaped_story());
}
BENCHMARK(BM_StoryToUtf8);

void BM_JapaneseStoryToUtf8(benchmark::State& state) {
  convert_stories(state, japanese_engine_text(2048));
}
BENCHMARK(BM_JapaneseStoryToUtf8);

// A Japanese UTF-8 scenario of 16 MB, detected and converted.
void BM_JapaneseScenarioFromUtf8(benchmark::State& state) {
  std::optional<Cp932Codec> codec = open_codec(state);
  if (!codec) return;
  const std::string file = codec->engine_text_to_utf8(japanese_engine_text(16 << 20));
  DecodedScenario decoded;
  for (auto _ : state) {
    if (!decode_scenario(*codec, file, InputEncoding::AUTO, decoded, nullptr)) {
      state.SkipWithError("the scenario does not convert");
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_JapaneseScenarioFromUtf8)->Unit(benchmark::kMillisecond);

// 16 MB of ASCII lines and, near the end, a wave dash, which would come back as a tilde.
void BM_FindTheLossyCharacter(benchmark::State& state) {
  std::optional<Cp932Codec> codec = open_codec(state);
  if (!codec) return;
  std::string file;
  while (file.size() < (16 << 20)) file += "The lamp was lit at dusk and the lens began to turn.\n";
  file += "\xE3\x80\x9C\n";
  DecodedScenario decoded;
  std::string error;
  for (auto _ : state) {
    if (decode_scenario(*codec, file, InputEncoding::AUTO, decoded, &error)) {
      state.SkipWithError("the wave dash was not refused");
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_FindTheLossyCharacter)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace plotwright::bench
