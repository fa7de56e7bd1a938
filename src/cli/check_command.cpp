// Printing a scenario's diagnostics in the three formats.
#include "cli/check_command.h"

#include <algorithm>
#include <cctype>
#include <nlohmann/json.hpp>
#include <ostream>
#include <set>

#include "authoring/checked_scenario.h"
#include "build_version.h"
#include "cli/scenario_input.h"
#include "diagnostic_rules.h"

namespace plotwright::cli {

namespace {

using nlohmann::json;

json json_of(const std::string& file, const AuthorDiagnostic& d) {
  return {{"file", file},
          {"line", d.range.begin.line},
          {"column", d.range.begin.column},
          {"endLine", d.range.end.line},
          {"endColumn", d.range.end.column},
          {"severity", severity_name(d.severity)},
          {"code", d.code},
          {"message", d.message}};
}

json sarif_result(const std::string& file, const AuthorDiagnostic& d) {
  const json region = {{"startLine", d.range.begin.line},
                       {"startColumn", d.range.begin.column},
                       {"endLine", d.range.end.line},
                       {"endColumn", d.range.end.column}};
  return {{"ruleId", d.code},
          {"level", severity_name(d.severity)},
          {"message", {{"text", d.message}}},
          {"locations",
           json::array({{{"physicalLocation",
                          {{"artifactLocation", {{"uri", file}}}, {"region", region}}}}})}};
}

// The anchor GitHub gives a heading: lower case, blanks as '-', other punctuation dropped.
std::string heading_anchor(std::string_view heading) {
  std::string anchor;
  for (const char c : heading) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == ' ') {
      anchor += '-';
    } else if (std::isalnum(byte) || c == '-' || c == '_' || byte >= 0x80) {
      anchor += static_cast<char>(std::tolower(byte));
    }
  }
  return anchor;
}

// A rule's name: the words of its title, each begun in upper case ("AChoiceNamesNoScene").
std::string rule_name(std::string_view title) {
  std::string name;
  bool word_start = true;
  for (const char c : title) {
    const auto byte = static_cast<unsigned char>(c);
    if (!std::isalnum(byte)) {
      word_start = true;
      continue;
    }
    name += word_start ? static_cast<char>(std::toupper(byte)) : c;
    word_start = false;
  }
  return name;
}

json sarif_rule(const std::string& code, const std::string& docs_uri) {
  json rule = {{"id", code}};
  for (const DiagnosticRule& known : kDiagnosticRules) {
    if (code != known.code) continue;
    const std::string heading = code + ": " + known.title;
    rule["name"] = rule_name(known.title);
    rule["shortDescription"] = {{"text", known.title}};
    rule["helpUri"] = docs_uri + "#" + heading_anchor(heading);
  }
  if (!rule.contains("helpUri")) rule["helpUri"] = docs_uri;
  return rule;
}

// SARIF 2.1.0: one run of one tool, its rules the codes that occur.
json sarif_of(const std::string& file, const CheckedScenario& checked,
              const std::string& docs_uri) {
  json results = json::array();
  std::set<std::string> codes;
  for (const AuthorDiagnostic& d : checked.diagnostics()) {
    results.push_back(sarif_result(file, d));
    codes.insert(d.code);
  }
  json rules = json::array();
  for (const std::string& code : codes) rules.push_back(sarif_rule(code, docs_uri));
  const json driver = {{"name", "plotwright"},
                       {"version", PLOTWRIGHT_BUILD_VERSION},
                       {"informationUri", docs_uri},
                       {"rules", rules}};
  return {{"$schema", "https://json.schemastore.org/sarif-2.1.0.json"},
          {"version", "2.1.0"},
          {"runs", json::array({{{"tool", {{"driver", driver}}}, {"results", results}}})}};
}

int status_of(const Options& options, const CheckedScenario& checked) {
  if (checked.has_errors()) return kExitScenario;
  const bool warned =
      std::any_of(checked.diagnostics().begin(), checked.diagnostics().end(),
                  [](const AuthorDiagnostic& d) { return d.severity == Severity::WARNING; });
  return options.werror && warned ? kExitScenario : kExitStory;
}

}  // namespace

void write_diagnostics_text(const std::string& file, const CheckedScenario& checked,
                            std::ostream& out) {
  for (const AuthorDiagnostic& d : checked.diagnostics()) out << positioned_line(file, d) << '\n';
}

int run_check(const Options& options, std::ostream& out, std::ostream& err) {
  ScenarioInput input;
  if (!read_input(options, input, err)) return kExitUsage;
  std::unique_ptr<CheckedScenario> checked;
  std::string error;
  if (!CheckedScenario::check(*input.codec, input.scenario.file_bytes, options.encoding, checked,
                              &error)) {
    err << "plotwright: " << input.name << ": " << error << '\n';
    return kExitUsage;
  }
  if (options.format == "json") {
    json all = json::array();
    for (const AuthorDiagnostic& d : checked->diagnostics()) all.push_back(json_of(input.name, d));
    out << all.dump(2) << '\n';
  } else if (options.format == "sarif") {
    const std::string docs =
        options.docs_uri.empty() ? std::string(kDefaultDiagnosticsUri) : options.docs_uri;
    out << sarif_of(input.name, *checked, docs).dump(2) << '\n';
  } else {
    write_diagnostics_text(input.name, *checked, out);
  }
  if (!out.flush()) {
    err << "plotwright: could not write to standard output\n";
    return kExitUsage;
  }
  return status_of(options, *checked);
}

}  // namespace plotwright::cli
