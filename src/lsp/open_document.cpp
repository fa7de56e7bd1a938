// An open document, its analysis and its diagnostics in the protocol's terms.
#include "lsp/open_document.h"

#include <algorithm>

namespace plotwright::lsp {

namespace {

// DiagnosticSeverity: 1 error, 2 warning, 3 information.
int severity_number(Severity severity) {
  switch (severity) {
    case Severity::ERROR:
      return 1;
    case Severity::WARNING:
      return 2;
    case Severity::NOTE:
      break;
  }
  return 3;
}

}  // namespace

OpenDocument::OpenDocument(Cp932Codec& codec, std::string uri, int version, std::string text)
    : codec_(codec), uri_(std::move(uri)), version_(version), text_(std::move(text)) {}

const CheckedScenario& OpenDocument::checked() {
  if (!checked_) {
    // The text is UTF-8 (the protocol's strings are), so the check does not refuse it; a text
    // that was not after all is read as the automatic encoding reads it, which refuses nothing.
    if (!CheckedScenario::check(codec_, text_.text(), InputEncoding::UTF8, checked_, nullptr)) {
      static_cast<void>(
          CheckedScenario::check(codec_, text_.text(), InputEncoding::AUTO, checked_, nullptr));
    }
  }
  return *checked_;
}

void OpenDocument::apply_change(const json& change) {
  std::string replacement = string_member(change, "text");
  if (!change.contains("range")) {
    text_ = DocumentText(std::move(replacement));
  } else {
    const json& range = member(change, "range");
    std::size_t start = 0;
    std::size_t end = 0;
    if (!text_.offset_of(position_member({{"position", member(range, "start")}}), start) ||
        !text_.offset_of(position_member({{"position", member(range, "end")}}), end) ||
        end < start) {
      throw RequestError(kInvalidParams, "the change's range lies outside the document");
    }
    std::string text = text_.text();
    text.replace(start, end - start, replacement);
    text_ = DocumentText(std::move(text));
  }
  checked_.reset();
}

namespace {

// The diagnostics a publication carries: every error first, then the warnings and notes, up to
// kMaxPublishedDiagnostics in all, in the order of their places.
std::vector<const AuthorDiagnostic*> published(const std::vector<AuthorDiagnostic>& all) {
  std::vector<const AuthorDiagnostic*> chosen;
  for (const bool errors : {true, false}) {
    for (const AuthorDiagnostic& d : all) {
      if (chosen.size() == kMaxPublishedDiagnostics) break;
      if ((d.severity == Severity::ERROR) == errors) chosen.push_back(&d);
    }
  }
  // The diagnostics come sorted by place, so their order in `all` is the order of places.
  std::sort(chosen.begin(), chosen.end());
  return chosen;
}

void write_diagnostic(JsonWriter& out, const DocumentText& text, const AuthorDiagnostic& d) {
  out.begin_object().key("range");
  write_range(out, text, d.range);
  out.key("severity").value(severity_number(d.severity));
  if (!d.code.empty()) out.key("code").value(d.code);
  out.key("source").value("plotwright").key("message").value(d.message).end_object();
}

}  // namespace

std::string OpenDocument::diagnostics() {
  const std::vector<AuthorDiagnostic>& all = checked().diagnostics();
  const std::vector<const AuthorDiagnostic*> shown = published(all);
  JsonWriter out;
  out.begin_object().key("uri").value(uri_).key("version").value(version_);
  out.key("diagnostics").begin_array();
  for (const AuthorDiagnostic* d : shown) write_diagnostic(out, text_, *d);
  if (shown.size() < all.size()) {
    // Where the list stops: at the first diagnostic left out.
    std::size_t first = 0;
    while (first < shown.size() && shown[first] == &all[first]) ++first;
    const std::size_t more = all.size() - shown.size();
    write_diagnostic(
        out, text_,
        AuthorDiagnostic{all[first].range, Severity::NOTE, "",
                         std::to_string(more) + " more diagnostic" + (more == 1 ? " is" : "s are") +
                             " not shown; plotwright check lists them all",
                         std::nullopt});
  }
  return out.end_array().end_object().take();
}

SourcePosition OpenDocument::source_position(LspPosition position) const {
  std::size_t offset = 0;
  if (!text_.offset_of(position, offset)) {
    throw RequestError(kInvalidParams, "position " + std::to_string(position.line) + ":" +
                                           std::to_string(position.character) +
                                           " lies past the end of the document");
  }
  return text_.source_position(offset);
}

}  // namespace plotwright::lsp
