// Recording a story's path and showing it as text or JSON.
#include "authoring/story_trace.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "authoring/text_width.h"

namespace plotwright {

namespace {

using nlohmann::json;

// A scene without a candidate that leads anywhere (a plain scene) has nothing to show.
bool leads_anywhere(const std::vector<CandidateReport>& candidates) {
  return std::any_of(candidates.begin(), candidates.end(),
                     [](const CandidateReport& c) { return c.target > 0; });
}

// "condition false (%storm = 1, wanted 2)".
std::string condition_note(bool holds, const std::string& reading, const SceneNames& names) {
  std::string note = holds ? "condition true" : "condition false";
  return reading.empty() ? note : note + " (" + names.text(reading) + ")";
}

// "uses 2  in the draw, drawn": what the selection saw of one candidate.
std::string candidate_notes(const CandidateReport& c, int chosen, const SceneNames& names) {
  std::string notes = "uses " + std::to_string(c.use_count);
  std::vector<std::string> flags;
  if (c.disabled) flags.push_back("disabled");
  if (!c.condition_holds) flags.push_back(condition_note(false, c.reading, names));
  if (c.priority > 0) flags.push_back("priority " + std::to_string(c.priority));
  if (c.tied) flags.push_back("in the draw");
  if (c.tied && c.target == chosen) flags.push_back("drawn");
  for (std::size_t i = 0; i < flags.size(); ++i) notes += (i ? ", " : "  ") + flags[i];
  return notes;
}

void append_draw(const TraceEvent& e, const SceneNames& names, std::string& out) {
  out += "  draw at " + names.name(e.scene) + ":\n";
  int width = 0;
  for (const CandidateReport& c : e.candidates) {
    width = std::max(width, display_width(names.name(c.target)));
  }
  for (const CandidateReport& c : e.candidates) {
    out += "    " + pad_right(names.name(c.target), width) + "  " +
           candidate_notes(c, e.chosen, names) + "\n";
  }
  if (e.chosen == 0) out += "    (no candidate qualified)\n";
}

// One line of a jump line's event: "  jump Gale  condition true (%storm = 2, wanted 2)",
// "  skip jump Gale  condition false (...)", "  jump Harbor  no such scene".
std::string event_line_text(const TraceEvent& e, const SceneNames& names) {
  const bool skip = e.type == TraceEvent::Type::SKIP;
  // A name that finds nothing is quoted, so that a stray blank in it shows.
  std::string target = names.name(e.scene);
  if (skip) target = names.text(e.target);
  if (e.type == TraceEvent::Type::MISSING) target = "\"" + names.text(e.target) + "\"";
  const char* word = e.type == TraceEvent::Type::ENTER ? entry_word(e.how) : directive_word(e.kind);
  std::string out = std::string(skip ? "  skip " : "  ") + word + " " + target;
  std::vector<std::string> notes;
  if (e.type == TraceEvent::Type::MISSING) notes.push_back("no such scene");
  if (e.disabled) notes.push_back("disabled");
  if (!e.reading.empty()) notes.push_back(condition_note(!skip || e.disabled, e.reading, names));
  for (std::size_t i = 0; i < notes.size(); ++i) out += (i ? ", " : "  ") + notes[i];
  return out + "\n";
}

std::string end_text(RunEnd end) {
  const char* limit = run_limit_name(end);
  return limit ? std::string("cut short by ") + limit : run_end_word(end);
}

json candidate_json(const CandidateReport& c, int chosen, const SceneNames& names) {
  json out = {{"scene", c.target},      {"name", names.name(c.target)},
              {"uses", c.use_count},    {"priority", c.priority},
              {"disabled", c.disabled}, {"condition", c.condition_holds},
              {"in_draw", c.tied},      {"drawn", c.tied && c.target == chosen}};
  if (!c.reading.empty()) out["read"] = names.text(c.reading);
  return out;
}

// A skipped alternative or one naming no scene: its target as written and why.
json alternative_json(const TraceEvent& e, const SceneNames& names) {
  json out = {{"event", e.type == TraceEvent::Type::SKIP ? "skip" : "missing"},
              {"kind", directive_word(e.kind)},
              {"target", names.text(e.target)}};
  if (e.type == TraceEvent::Type::SKIP) out["reason"] = e.disabled ? "disabled" : "condition false";
  if (!e.reading.empty()) out["read"] = names.text(e.reading);
  return out;
}

json event_json(const TraceEvent& e, const SceneNames& names) {
  if (e.type == TraceEvent::Type::SKIP || e.type == TraceEvent::Type::MISSING) {
    return alternative_json(e, names);
  }
  json out = {{"scene", e.scene}, {"name", names.name(e.scene)}};
  if (!e.reading.empty()) out["read"] = names.text(e.reading);
  switch (e.type) {
    case TraceEvent::Type::ENTER:
      out["event"] = "enter";
      out["how"] = entry_word(e.how);
      break;
    case TraceEvent::Type::SELECT:
      out["event"] = "draw";
      out["candidates"] = json::array();
      for (const CandidateReport& c : e.candidates) {
        out["candidates"].push_back(candidate_json(c, e.chosen, names));
      }
      break;
    case TraceEvent::Type::DIRECTIVE:
      out["event"] = "directive";
      out["kind"] = directive_word(e.kind);
      break;
    case TraceEvent::Type::SKIP:
    case TraceEvent::Type::MISSING:
      break;
  }
  return out;
}

}  // namespace

void TraceRecorder::scene_entered(int scene, SceneEntry how) {
  TraceEvent event;
  event.scene = scene;
  event.how = how;
  if (how == SceneEntry::JUMPED) event.reading = std::move(pending_reading_);
  pending_reading_.clear();
  events_.push_back(std::move(event));
}

void TraceRecorder::jump_line(int /*scene*/, const JumpReport& report) {
  pending_reading_.clear();
  const std::size_t count = report.alternatives.size();
  for (std::size_t i = 0; i < count; ++i) {
    const AlternativeReport& tried = report.alternatives[i];
    const bool taken = report.taken && i + 1 == count;
    if (taken && report.scene != 0 && !report.disabled) {
      pending_reading_ = tried.reading;  // shown with the entry or directive that follows
      break;
    }
    TraceEvent event;
    event.type = taken && report.scene == 0 ? TraceEvent::Type::MISSING : TraceEvent::Type::SKIP;
    event.kind = tried.kind;
    event.target = tried.name;
    event.reading = tried.reading;
    event.disabled = taken && report.disabled;
    events_.push_back(std::move(event));
  }
}

void TraceRecorder::scene_selected(int scene, const std::vector<CandidateReport>& candidates,
                                   int chosen) {
  if (!leads_anywhere(candidates)) return;
  TraceEvent event;
  event.type = TraceEvent::Type::SELECT;
  event.scene = scene;
  event.chosen = chosen;
  event.candidates = candidates;
  events_.push_back(std::move(event));
}

void TraceRecorder::directive_applied(int /*scene*/, Directive kind, int target) {
  TraceEvent event;
  event.type = TraceEvent::Type::DIRECTIVE;
  event.scene = target;
  event.kind = kind;
  event.reading = std::move(pending_reading_);
  pending_reading_.clear();
  events_.push_back(std::move(event));
}

void TraceRecorder::clear() {
  events_.clear();
  pending_reading_.clear();
  end_ = RunEnd::NO_SCENES;
}

std::string trace_text(const TraceRecorder& trace, const SceneNames& names, int number) {
  std::string out = "trace of story " + std::to_string(number) + ":\n";
  for (const TraceEvent& e : trace.events()) {
    switch (e.type) {
      case TraceEvent::Type::SELECT:
        if (names.draws(e.scene)) append_draw(e, names, out);
        break;
      case TraceEvent::Type::ENTER:
      case TraceEvent::Type::DIRECTIVE:
      case TraceEvent::Type::SKIP:
      case TraceEvent::Type::MISSING:
        out += event_line_text(e, names);
        break;
    }
  }
  return out + "  " + end_text(trace.end()) + "\n";
}

std::string trace_json(const TraceRecorder& trace, const SceneNames& names) {
  json events = json::array();
  for (const TraceEvent& e : trace.events()) {
    if (e.type == TraceEvent::Type::SELECT && !names.draws(e.scene)) continue;
    events.push_back(event_json(e, names));
  }
  json end = {{"event", "end"}, {"reason", run_end_word(trace.end())}};
  if (const char* limit = run_limit_name(trace.end())) end["limit"] = limit;
  events.push_back(std::move(end));
  return events.dump();
}

}  // namespace plotwright
