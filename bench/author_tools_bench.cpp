// Benchmarks of the author tools: coverage of the English example over 100,000 stories, and
// the check and the graph of the largest scenario a file may hold.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "authoring/checked_scenario.h"
#include "authoring/coverage_report.h"
#include "authoring/graph_writer.h"
#include "bench_scenarios.h"
#include "cli/coverage_run.h"
#include "cli/scenario_input.h"

namespace plotwright::bench {
namespace {

using namespace plotwright::cli;

// What `plotwright coverage --runs N --seed 1 --no-stats` does before it writes the report.
void BM_CoverageEnglishExample(benchmark::State& state) {
  Options options;
  options.command = Command::COVERAGE;
  options.file = PLOTWRIGHT_SOURCE_DIR "/examples/the-lighthouse-keeper.vell";
  options.runs = static_cast<int>(state.range(0));
  options.seed = 1;
  options.no_stats = true;
  std::ostringstream err;
  for (auto _ : state) {
    ScenarioInput input;
    if (!read_input(options, input, err) || !decode_input(input, err)) {
      state.SkipWithError("cannot read the example");
      break;
    }
    CoverageRun run;
    run_coverage_stories(options, input, false, run, err);
    const SceneNames names(run.model, *input.codec);
    benchmark::DoNotOptimize(
        make_coverage_report(run.model, run.recorder, names, options.file, options.seed));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CoverageEnglishExample)->Arg(100000)->Iterations(1)->Unit(benchmark::kSecond);

// `plotwright check` and `plotwright graph` on 199,998 generated lines, from the file's bytes.
std::unique_ptr<CheckedScenario> check_large(Cp932Codec& codec, const std::string& text) {
  std::unique_ptr<CheckedScenario> checked;
  // The automatic encoding never refuses a file.
  static_cast<void>(CheckedScenario::check(codec, text, InputEncoding::AUTO, checked, nullptr));
  return checked;
}

void BM_CheckLargeScenario(benchmark::State& state) {
  const std::string text = large_scenario(199998);
  std::optional<Cp932Codec> codec;
  if (!Cp932Codec::open(codec, nullptr)) return state.SkipWithError("no code page 932");
  for (auto _ : state) benchmark::DoNotOptimize(check_large(*codec, text)->diagnostics().size());
}
BENCHMARK(BM_CheckLargeScenario)->Unit(benchmark::kMillisecond);

// The check of lines dense with conditions and variables: 4 MB of `<%n>1> `, and 20,000
// lines of a mix of conditions, settings, readings and groups.
void BM_CheckDenseLines(benchmark::State& state) {
  const std::string text = state.range(0) == 0 ? dense_scenario(4000000) : mixed_scenario(20000);
  std::optional<Cp932Codec> codec;
  if (!Cp932Codec::open(codec, nullptr)) return state.SkipWithError("no code page 932");
  for (auto _ : state) benchmark::DoNotOptimize(check_large(*codec, text)->diagnostics().size());
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_CheckDenseLines)->ArgName("mixed")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_GraphLargeScenario(benchmark::State& state) {
  const std::string text = large_scenario(199998);
  std::optional<Cp932Codec> codec;
  if (!Cp932Codec::open(codec, nullptr)) return state.SkipWithError("no code page 932");
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::unique_ptr<CheckedScenario> checked = check_large(*codec, text);
    const ScenarioModel& model = checked->analysis().model();
    const SceneGraph graph = build_scene_graph(model, SceneNames(model, *codec), *codec, nullptr);
    bytes = graph_to_dot(graph, "large.vell").size();
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["dot_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_GraphLargeScenario)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace plotwright::bench
