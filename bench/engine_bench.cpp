// Benchmarks of the engine: stories per second, the long run, the large compile, statistics.
#include <benchmark/benchmark.h>

#include <string>

#include "analysis/scenario_analysis.h"
#include "base/clock.h"
#include "bench_scenarios.h"
#include "compiler/scenario_compiler.h"
#include "compiler/source_reader.h"
#include "controller/document.h"
#include "statistics/usage_statistics.h"

namespace plotwright::bench {
namespace {

struct LoadedDocument {
  explicit LoadedDocument(const std::string& scenario) : text(scenario) {
    MemoryLineSource source(text);
    outcome = document.load_scenario(source, "/bench/scenario.vell");
  }
  std::string text;
  FixedClock clock{1};
  NullFileStore files;
  Document document{DocumentServices{nullptr, &clock, &files, nullptr}};
  LoadOutcome outcome;
};

void BM_PeerShapedStory(benchmark::State& state) {
  LoadedDocument loaded(peer_shaped_scenario());
  if (!loaded.outcome.generated) state.SkipWithError("scenario does not compile");
  std::size_t bytes = 0;
  for (auto _ : state) {
    auto story = loaded.document.regenerate();
    bytes += story->size();
    benchmark::DoNotOptimize(story->data());
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
  state.counters["bytes_per_story"] =
      static_cast<double>(bytes) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PeerShapedStory);

void BM_LongRun(benchmark::State& state) {
  LoadedDocument loaded(long_run_scenario());
  for (auto _ : state) {
    auto story = loaded.document.regenerate();
    benchmark::DoNotOptimize(story->data());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LongRun)->Unit(benchmark::kMillisecond);

// Read and compile from the scenario's bytes, as a load does before it generates.
void BM_LargeCompile(benchmark::State& state) {
  const std::string text = large_scenario(static_cast<int>(state.range(0)));
  SourceStore store;
  CompiledScenario scenario;
  NullDiagnostics diagnostics;
  for (auto _ : state) {
    MemoryLineSource source(text);
    if (!read_source_lines(source, store)) state.SkipWithError("too many lines");
    const int errors = compile_scenario(store, scenario, diagnostics);
    if (errors != 0) state.SkipWithError("scenario does not compile");
    benchmark::DoNotOptimize(scenario.scenes.scene_count());
  }
  state.counters["scenes"] = scenario.scenes.scene_count();
}
BENCHMARK(BM_LargeCompile)->Arg(99999)->Arg(199998)->Unit(benchmark::kMillisecond);

void BM_StatisticsRead(benchmark::State& state) {
  MemoryFileStore files;
  files.files["/s.vus"] = statistics_file(200000);
  RunState run_state;
  StatisticsRecords loaded;
  StandardRandom random;
  FixedClock clock(1);
  for (auto _ : state) {
    if (!read_statistics("/s.vus", 200001, run_state, files, random, clock, loaded, nullptr)) {
      state.SkipWithError("statistics refused");
    }
  }
}
BENCHMARK(BM_StatisticsRead)->Unit(benchmark::kMillisecond);

void BM_StatisticsWrite(benchmark::State& state) {
  MemoryFileStore files;
  RunState run_state;
  run_state.resize(200001);
  const StatisticsRecords loaded(200000);
  for (auto _ : state) {
    if (!write_statistics("/s.vus", run_state, loaded, files, nullptr)) {
      state.SkipWithError("statistics not written");
    }
  }
}
BENCHMARK(BM_StatisticsWrite)->Unit(benchmark::kMillisecond);

// The check of the largest file, full of mistakes: 66,665 select blocks, each with two choices
// that name no scene. The language server runs it at every pause in typing.
void BM_CheckLargeFileFullOfMistakes(benchmark::State& state) {
  std::string scenario = "title T\n";
  for (int i = 0; i < 66665; ++i) scenario += "select S" + std::to_string(i) + "\nNowhere\nx\n";
  for (auto _ : state) {
    const ScenarioAnalysis analysis(scenario);
    benchmark::DoNotOptimize(analysis.diagnostics().size());
  }
}
BENCHMARK(BM_CheckLargeFileFullOfMistakes)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace plotwright::bench

BENCHMARK_MAIN();
