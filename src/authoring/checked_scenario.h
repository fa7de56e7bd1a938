// A scenario file checked for its author, as the command line, the language server, the web
// page and the desktop program show it: its bytes decoded even where a character has no
// Shift-JIS form, analysed, and every diagnostic in UTF-8 with its place in the file.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/scenario_analysis.h"
#include "encoding/cp932_codec.h"
#include "encoding/scenario_encoding.h"

namespace plotwright {

struct AuthorFix {
  SourceRange range;
  std::string replacement;  // UTF-8
  std::string title;
};

struct AuthorDiagnostic {
  SourceRange range;  // lines 1-based; columns 1-based, in characters
  Severity severity = Severity::ERROR;
  std::string code;
  std::string message;  // UTF-8
  std::optional<AuthorFix> fix;
  // A choice's or a jump's destination that names no block (UTF-8): the block an editor may
  // offer to add. Empty for every other diagnostic.
  std::string missing_scene = {};
};

class CheckedScenario {
 public:
  // Decodes (see decode_scenario_leniently) and analyses a scenario file's bytes. False, with
  // the reason in `error`, only when `encoding` asks for UTF-8 and the file is not.
  [[nodiscard]] static bool check(Cp932Codec& codec, std::string_view file_bytes,
                                  InputEncoding encoding, std::unique_ptr<CheckedScenario>& checked,
                                  std::string* error);

  const ScenarioAnalysis& analysis() const { return *analysis_; }
  // Sorted by position: the characters with no Shift-JIS form (V001) among the analysis's.
  const std::vector<AuthorDiagnostic>& diagnostics() const { return diagnostics_; }
  bool has_errors() const;
  bool was_utf8() const { return was_utf8_; }
  // The engine's bytes of the file, a '?' standing for each character with no Shift-JIS form.
  const std::string& engine_bytes() const { return engine_bytes_; }
  // How many characters have no Shift-JIS form (the V001 diagnostics).
  int encoding_problems() const { return encoding_problems_; }
  // Engine text (a name, a line) as UTF-8.
  std::string to_utf8(std::string_view engine_text) const;

 private:
  CheckedScenario(Cp932Codec& codec, std::string engine_bytes, bool was_utf8,
                  const std::vector<EncodingProblem>& problems);

  Cp932Codec& codec_;
  std::string engine_bytes_;
  bool was_utf8_ = false;
  int encoding_problems_ = 0;
  std::unique_ptr<ScenarioAnalysis> analysis_;
  std::vector<AuthorDiagnostic> diagnostics_;
};

// A diagnostic as compilers print it, in UTF-8 and without a line end:
// "NAME:LINE:COL: SEVERITY: MESSAGE [CODE]", NAME the file's name as its reader knows it.
std::string positioned_line(const std::string& name, const AuthorDiagnostic& diagnostic);

// The errors' positioned lines, each ended by '\n', warnings left out: what a scenario that
// did not compile is shown with, by every front end alike.
std::string error_lines(const CheckedScenario& checked, const std::string& name);

}  // namespace plotwright
