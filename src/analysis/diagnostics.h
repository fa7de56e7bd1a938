// What an author should know about a scenario before running it: the compile's errors at
// their places, and warnings about lines that will not do what they seem to. Each diagnostic
// has a stable code (docs/diagnostics.md lists them all).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/scenario_model.h"

namespace plotwright {

enum class Severity { ERROR, WARNING, NOTE };

// A change of the text that mends what a diagnostic reports.
struct Fix {
  SourceRange range;        // the text replaced; empty to insert
  std::string replacement;  // engine bytes
  std::string title;        // what it does, for a person
};

// Among which names a name that names nothing was looked up: the author tools suggest the
// nearest of them.
enum class NameLookup {
  NONE,
  SCENES,          // the named blocks a choice or a jump may name
  BUILTIN_BODIES,  // the built-in scenes a koru or system_mes block may give lines
  VARIABLES,       // the variables the scenario sets
};

struct Diagnostic {
  Severity severity = Severity::ERROR;
  std::string code;     // "V101"
  std::string message;  // engine bytes (names as the scenario writes them)
  SourceRange range;
  std::optional<Fix> fix;
  NameLookup lookup = NameLookup::NONE;
  std::string unknown_name;  // engine bytes: the name, at `range`, that found nothing
};

// The diagnostics of one compile, sorted by position. `line_limit_reached` says that the
// store stopped at its limit (the rest of the file was not read); `engine_bytes` is the file
// the store was read from, for what the store drops (empty when unknown).
std::vector<Diagnostic> check_scenario(const SourceStore& store, const CompiledScenario& scenario,
                                       const ScenarioModel& model, bool line_limit_reached,
                                       std::string_view engine_bytes = {});

const char* severity_name(Severity severity);

}  // namespace plotwright
