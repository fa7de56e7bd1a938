// The engine's interface to JavaScript (embind): a codec, and scenarios compiled and told
// through it. The package's own module (web/src/plotwright.ts) gives them their final shape.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/diagnostics.h"
#include "web/web_scenario.h"

namespace plotwright::web {

namespace {

using emscripten::val;

// The one codec a page or a program opens and hands to every scenario.
class Codec {
 public:
  // The tables compiled in cannot fail to open.
  Codec() { static_cast<void>(Cp932Codec::open(codec_, nullptr)); }
  Cp932Codec& get() { return *codec_; }

 private:
  std::optional<Cp932Codec> codec_;
};

// The length in UTF-16 code units (JavaScript's string length) of valid UTF-8.
int utf16_length(std::string_view utf8) {
  int length = 0;
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) != 0x80) length += byte >= 0xF0 ? 2 : 1;
  }
  return length;
}

// The diagnostics in a form that crosses into JavaScript in three pieces rather than a hundred
// thousand objects built a property at a time: seven numbers each (line, column, end line, end
// column, severity, the index of the code, the message's length in UTF-16 units), the
// severities' words (by number), the codes, and the messages one after another.
struct DiagnosticTable {
  std::vector<std::int32_t> numbers;
  std::vector<std::string> codes;
  std::string messages;

  explicit DiagnosticTable(const std::vector<AuthorDiagnostic>& diagnostics) {
    numbers.reserve(diagnostics.size() * 7);
    for (const AuthorDiagnostic& d : diagnostics) {
      numbers.insert(numbers.end(), {d.range.begin.line, d.range.begin.column, d.range.end.line,
                                     d.range.end.column, static_cast<std::int32_t>(d.severity),
                                     code_index(d.code), utf16_length(d.message)});
      messages += d.message;
    }
  }

  // A scenario's diagnostics have a handful of codes.
  std::int32_t code_index(const std::string& code) {
    const auto found = std::find(codes.begin(), codes.end(), code);
    if (found != codes.end()) return static_cast<std::int32_t>(found - codes.begin());
    codes.push_back(code);
    return static_cast<std::int32_t>(codes.size() - 1);
  }

  val to_js() const {
    val out = val::object();
    // A view of this table's memory: the caller copies it before the next call.
    out.set("numbers", val(emscripten::typed_memory_view(numbers.size(), numbers.data())));
    val severities = val::array();
    for (const Severity severity : {Severity::ERROR, Severity::WARNING, Severity::NOTE}) {
      severities.call<void>("push", std::string(severity_name(severity)));
    }
    out.set("severities", severities);
    val list = val::array();
    for (const std::string& code : codes) list.call<void>("push", code);
    out.set("codes", list);
    out.set("messages", messages);
    return out;
  }
};

// A compiled scenario. The error of a file that cannot be compiled is kept for the caller
// to throw: a constructor cannot fail across embind.
class ScenarioHandle {
 public:
  // `statistics` is the statistics file's content, or undefined to keep none.
  ScenarioHandle(Codec& codec, const std::string& file, const val& statistics) {
    std::optional<std::string> kept;
    if (!statistics.isUndefined()) kept = statistics.as<std::string>();
    if (!Scenario::compile(codec.get(), file, std::move(kept), scenario_, &error_)) {
      scenario_.reset();  // error() says why; the other calls see no scenario
    }
  }

  std::string error() const { return error_; }

  // The diagnostics as a DiagnosticTable: {numbers, codes, messages}. The numbers are a view
  // of memory that the next call may change.
  val diagnostics() {
    table_ = std::make_unique<DiagnosticTable>(scenario_ ? scenario_->diagnostics()
                                                         : std::vector<AuthorDiagnostic>());
    return table_->to_js();
  }

  // {stories: [...], notes: [...]}, {status, message}, or {overLimit: true, message} when the
  // stories pass kMaxStoriesBytes.
  val tell(std::uint32_t seed, int count) {
    std::vector<std::string> stories;
    std::vector<std::string> notes;
    RunFailure failure;
    val out = val::object();
    if (!scenario_->tell(seed, count, stories, notes, failure)) {
      if (failure.over_limit) out.set("overLimit", true);
      out.set("status", failure.status);
      out.set("message", failure.message);
      return out;
    }
    val list = val::array();
    for (const std::string& story : stories) list.call<void>("push", story);
    out.set("stories", list);
    val noted = val::array();
    for (const std::string& note : notes) noted.call<void>("push", note);
    out.set("notes", noted);
    return out;
  }

  // {text, lines: [line, ...] (0: none), words: [builtin scene word or '', ...], trace (JSON),
  // cutShort}, or {status, message}.
  val tellTraced(std::uint32_t seed, const std::string& start) {
    TracedStory story;
    RunFailure failure;
    val out = val::object();
    if (!scenario_->tell_traced(seed, start, story, failure)) {
      out.set("status", failure.status);
      out.set("message", failure.message);
      return out;
    }
    out.set("text", story.text);
    val lines = val::array();
    val words = val::array();
    for (std::size_t i = 0; i < story.lines.size(); ++i) {
      lines.call<void>("push", story.lines[i].line);
      words.call<void>("push", story.line_words[i]);
    }
    out.set("lines", lines);
    out.set("words", words);
    out.set("trace", story.trace);
    out.set("cutShort", story.cut_short);
    return out;
  }

  // The scene graph as DOT, or as Mermaid with `mermaid`; the DOT's nodes with their lines
  // with `lines`.
  std::string graph(const std::string& title, bool mermaid, bool lines) const {
    return scenario_->graph(title, mermaid, lines);
  }

  // {report} (the coverage report as JSON), with `graph` also {graph} (the graph's DOT shaded by
  // the same stories, its nodes with their lines), or {status, message}.
  val coverage(std::uint32_t seed, int runs, const std::string& file, bool graph) {
    std::string report;
    std::string dot;
    RunFailure failure;
    val out = val::object();
    if (!scenario_->coverage(seed, runs, file, report, failure, graph ? &dot : nullptr)) {
      out.set("status", failure.status);
      out.set("message", failure.message);
      return out;
    }
    out.set("report", report);
    if (graph) out.set("graph", dot);
    return out;
  }

  // The statistics file's content, or undefined when the scenario keeps none.
  val statistics() const {
    if (!scenario_ || !scenario_->statistics()) return val::undefined();
    return val(*scenario_->statistics());
  }

 private:
  std::unique_ptr<Scenario> scenario_;
  std::unique_ptr<DiagnosticTable> table_;
  std::string error_;
};

}  // namespace

EMSCRIPTEN_BINDINGS(plotwright) {
  emscripten::class_<Codec>("Codec").constructor<>();
  emscripten::class_<ScenarioHandle>("Scenario")
      .constructor<Codec&, const std::string&, const val&>()
      .function("error", &ScenarioHandle::error)
      .function("diagnostics", &ScenarioHandle::diagnostics)
      .function("tell", &ScenarioHandle::tell)
      .function("tellTraced", &ScenarioHandle::tellTraced)
      .function("graph", &ScenarioHandle::graph)
      .function("coverage", &ScenarioHandle::coverage)
      .function("statistics", &ScenarioHandle::statistics);
}

}  // namespace plotwright::web
