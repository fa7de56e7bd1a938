// The engine's interface to JavaScript (embind): a codec, and scenarios compiled and told
// through it. The package's own module (web/src/index.ts) gives them their final shape.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <memory>
#include <optional>
#include <string>

#include "web/web_scenario.h"

namespace plotwright::web {

namespace {

using emscripten::val;

// The one codec a page or a program opens and hands to every scenario.
class Codec {
 public:
  Codec() { Cp932Codec::open(codec_, nullptr); }  // the tables cannot fail to open
  Cp932Codec& get() { return *codec_; }

 private:
  std::optional<Cp932Codec> codec_;
};

val position_of(const AuthorDiagnostic& d) {
  val out = val::object();
  out.set("line", d.range.begin.line);
  out.set("column", d.range.begin.column);
  out.set("endLine", d.range.end.line);
  out.set("endColumn", d.range.end.column);
  out.set("severity", std::string(severity_name(d.severity)));
  out.set("code", d.code);
  out.set("message", d.message);
  return out;
}

// A compiled scenario. The error of a file that cannot be compiled is kept for the caller
// to throw: a constructor cannot fail across embind.
class ScenarioHandle {
 public:
  // `statistics` is the statistics file's content, or undefined to keep none.
  ScenarioHandle(Codec& codec, const std::string& file, const val& statistics) {
    std::optional<std::string> kept;
    if (!statistics.isUndefined()) kept = statistics.as<std::string>();
    Scenario::compile(codec.get(), file, std::move(kept), scenario_, &error_);
  }

  std::string error() const { return error_; }

  val diagnostics() const {
    val out = val::array();
    if (!scenario_) return out;
    for (const AuthorDiagnostic& d : scenario_->diagnostics())
      out.call<void>("push", position_of(d));
    return out;
  }

  // {stories: [...]} or {status, message}.
  val tell(std::uint32_t seed, int count) {
    std::vector<std::string> stories;
    RunFailure failure;
    val out = val::object();
    if (!scenario_->tell(seed, count, stories, failure)) {
      out.set("status", failure.status);
      out.set("message", failure.message);
      return out;
    }
    val list = val::array();
    for (const std::string& story : stories) list.call<void>("push", story);
    out.set("stories", list);
    return out;
  }

  // The statistics file's content, or undefined when the scenario keeps none.
  val statistics() const {
    if (!scenario_ || !scenario_->statistics()) return val::undefined();
    return val(*scenario_->statistics());
  }

 private:
  std::unique_ptr<Scenario> scenario_;
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
      .function("statistics", &ScenarioHandle::statistics);
}

}  // namespace plotwright::web
