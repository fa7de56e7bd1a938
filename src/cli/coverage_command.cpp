// Running the stories and writing the coverage report in the form asked for.
#include "cli/coverage_command.h"

#include <ostream>

#include "authoring/coverage_report.h"
#include "cli/coverage_run.h"
#include "cli/scenario_input.h"

namespace plotwright::cli {

int run_coverage(const Options& options, std::ostream& out, std::ostream& err) {
  ScenarioInput input;
  if (!read_input(options, input, err) || !decode_input(input, err)) return kExitUsage;
  const bool progress = wants_progress(options.runs);
  CoverageRun run;
  const int status = run_coverage_stories(options, input, progress, run, err);
  if (status != kExitStory) return status;
  const SceneNames names(run.model, *input.codec);
  const CoverageReport report =
      make_coverage_report(run.model, run.recorder, names, input.name, options.seed);
  if (options.format == "json") {
    write_coverage_json(report, out);
  } else if (options.format == "csv") {
    write_coverage_csv(report, out);
  } else {
    write_coverage_text(report, out);
  }
  if (!out.flush()) {
    err << "plotwright: could not write to standard output\n";
    return kExitUsage;
  }
  return kExitStory;
}

}  // namespace plotwright::cli
