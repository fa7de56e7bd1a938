// Checking a scenario file for its author.
#include "authoring/checked_scenario.h"

#include <algorithm>

namespace plotwright {

bool CheckedScenario::check(Cp932Codec& codec, std::string_view file_bytes, InputEncoding encoding,
                            std::unique_ptr<CheckedScenario>& checked, std::string* error) {
  DecodedScenario decoded;
  std::vector<EncodingProblem> problems;
  if (!decode_scenario_leniently(codec, file_bytes, encoding, decoded, problems, error)) {
    return false;
  }
  checked.reset(new CheckedScenario(codec, std::move(decoded.bytes), decoded.was_utf8, problems));
  return true;
}

CheckedScenario::CheckedScenario(Cp932Codec& codec, std::string engine_bytes, bool was_utf8,
                                 const std::vector<EncodingProblem>& problems)
    : codec_(codec),
      engine_bytes_(std::move(engine_bytes)),
      was_utf8_(was_utf8),
      encoding_problems_(static_cast<int>(problems.size())),
      analysis_(std::make_unique<ScenarioAnalysis>(engine_bytes_)) {
  for (const EncodingProblem& problem : problems) {
    const SourcePosition at{problem.line, problem.column};
    diagnostics_.push_back(AuthorDiagnostic{
        {at, {at.line, at.column + 1}}, Severity::ERROR, "V001", problem.message, std::nullopt});
  }
  for (const Diagnostic& d : analysis_->diagnostics()) {
    AuthorDiagnostic out{d.range, d.severity, d.code, to_utf8(d.message), std::nullopt};
    if (d.fix) out.fix = AuthorFix{d.fix->range, to_utf8(d.fix->replacement), d.fix->title};
    diagnostics_.push_back(std::move(out));
  }
  // The analysis's diagnostics come sorted: only characters with no Shift-JIS form need
  // placing among them (a sort of a hundred thousand diagnostics costs a large file a tenth of
  // its check).
  if (problems.empty()) return;
  std::stable_sort(diagnostics_.begin(), diagnostics_.end(),
                   [](const AuthorDiagnostic& a, const AuthorDiagnostic& b) {
                     return a.range.begin < b.range.begin;
                   });
}

bool CheckedScenario::has_errors() const {
  return std::any_of(diagnostics_.begin(), diagnostics_.end(),
                     [](const AuthorDiagnostic& d) { return d.severity == Severity::ERROR; });
}

std::string CheckedScenario::to_utf8(std::string_view engine_text) const {
  return codec_.engine_text_to_utf8(engine_text);
}

}  // namespace plotwright
