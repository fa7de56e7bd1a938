// A document the editor has open: its text, its version, and the analysis of that text, made
// when first needed and kept until the text changes.
#pragma once

#include <memory>
#include <string>

#include "authoring/checked_scenario.h"
#include "lsp/document_text.h"
#include "lsp/protocol.h"

namespace plotwright::lsp {

class OpenDocument {
 public:
  OpenDocument(Cp932Codec& codec, std::string uri, int version, std::string text);

  const std::string& uri() const { return uri_; }
  int version() const { return version_; }
  const DocumentText& text() const { return text_; }
  // The analysis of the current text (the decoding of `plotwright check`).
  const CheckedScenario& checked();

  // Replaces the text (a change without a range) or a part of it; a RequestError when a
  // change's range lies outside the text.
  void apply_change(const json& change);
  void set_version(int version) { version_ = version; }

  // The parameters of textDocument/publishDiagnostics for the current text, as JSON text.
  std::string diagnostics();
  // What the place `position` stands for in the analysis; a RequestError (invalid params)
  // when it lies past the document's end.
  SourcePosition source_position(LspPosition position) const;

 private:
  Cp932Codec& codec_;
  std::string uri_;
  int version_ = 0;
  DocumentText text_;
  std::unique_ptr<CheckedScenario> checked_;
};

}  // namespace plotwright::lsp
