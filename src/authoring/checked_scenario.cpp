// Checking a scenario file for its author.
#include "authoring/checked_scenario.h"

#include <algorithm>
#include <map>
#include <set>

#include "analysis/diagnostics.h"
#include "authoring/nearest_names.h"
#include "compiler/scene_table.h"

namespace plotwright {

namespace {

// How many different unknown names a check looks for a near name of: a file that misspells
// thousands of names gets its suggestions for the first of them, and its check stays quick.
constexpr std::size_t kSuggestedNamesLimit = 100;

// The "did you mean" of the diagnostics whose name found nothing, each list of names built when
// first needed and each unknown name looked up once.
class Suggester {
 public:
  Suggester(const ScenarioModel& model, Cp932Codec& codec) : model_(model), codec_(codec) {}

  // The name `d.unknown_name` (as UTF-8: `wanted`) most likely meant, or "".
  std::string suggestion(const Diagnostic& d, const std::string& wanted) {
    const auto key = std::make_pair(d.lookup, wanted);
    if (const auto known = made_.find(key); known != made_.end()) return known->second;
    if (made_.size() >= kSuggestedNamesLimit) return {};
    return made_[key] = names(d.lookup).suggestion(wanted);
  }

 private:
  const NameSuggestions& names(NameLookup lookup) {
    auto& slot = lists_[lookup];
    if (!slot) slot = std::make_unique<NameSuggestions>(candidates(lookup));
    return *slot;
  }
  std::vector<std::string> candidates(NameLookup lookup) const;

  const ScenarioModel& model_;
  Cp932Codec& codec_;
  std::map<NameLookup, std::unique_ptr<NameSuggestions>> lists_;
  std::map<std::pair<NameLookup, std::string>, std::string> made_;
};

std::vector<std::string> Suggester::candidates(NameLookup lookup) const {
  std::vector<std::string> names;
  if (lookup == NameLookup::BUILTIN_BODIES) {
    for (int scene = kSceneStartMessage; scene <= kSceneClosing; ++scene) {
      names.push_back(kBuiltinScenes[scene - 1].alias);
    }
  } else if (lookup == NameLookup::SCENES) {
    for (const ModelBlock& block : model_.blocks) {
      if (block.scene != 0 && !block.name.empty()) {
        names.push_back(codec_.engine_text_to_utf8(block.name));
      }
    }
  } else if (lookup == NameLookup::VARIABLES) {
    std::set<std::string> set;
    for (const ModelVariableUse& use : model_.variables) {
      if (use.access == VariableAccess::SET_TEXT || use.access == VariableAccess::SET_NUMBER) {
        set.insert(use.name);
      }
    }
    for (const std::string& name : set) names.push_back(codec_.engine_text_to_utf8(name));
  }
  return names;
}

}  // namespace

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
  Suggester suggester(analysis_->model(), codec_);
  for (const Diagnostic& d : analysis_->diagnostics()) {
    AuthorDiagnostic out{d.range, d.severity, d.code, to_utf8(d.message), std::nullopt};
    if (d.fix) out.fix = AuthorFix{d.fix->range, to_utf8(d.fix->replacement), d.fix->title};
    if (d.lookup != NameLookup::NONE) {
      const std::string unknown = to_utf8(d.unknown_name);
      if (d.lookup == NameLookup::SCENES) out.missing_scene = unknown;
      const std::string meant = suggester.suggestion(d, unknown);
      if (!meant.empty()) {
        out.message += "; did you mean \"" + meant + "\"?";
        if (!out.fix) out.fix = AuthorFix{d.range, meant, "Change to \"" + meant + "\""};
      }
    }
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

std::string positioned_line(const std::string& name, const AuthorDiagnostic& diagnostic) {
  return name + ':' + std::to_string(diagnostic.range.begin.line) + ':' +
         std::to_string(diagnostic.range.begin.column) + ": " + severity_name(diagnostic.severity) +
         ": " + diagnostic.message + " [" + diagnostic.code + ']';
}

std::string error_lines(const CheckedScenario& checked, const std::string& name) {
  std::string lines;
  for (const AuthorDiagnostic& d : checked.diagnostics()) {
    if (d.severity == Severity::ERROR) lines += positioned_line(name, d) + '\n';
  }
  return lines;
}

}  // namespace plotwright
