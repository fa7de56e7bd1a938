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

// "uses 2  in the draw, drawn": what the selection saw of one candidate.
std::string candidate_notes(const CandidateReport& c, int chosen) {
  std::string notes = "uses " + std::to_string(c.use_count);
  std::vector<std::string> flags;
  if (c.disabled) flags.push_back("disabled");
  if (!c.condition_holds) flags.push_back("condition false");
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
    out += "    " + pad_right(names.name(c.target), width) + "  " + candidate_notes(c, e.chosen) +
           "\n";
  }
  if (e.chosen == 0) out += "    (no candidate qualified)\n";
}

std::string end_text(RunEnd end) {
  const char* limit = run_limit_name(end);
  return limit ? std::string("cut short by ") + limit : run_end_word(end);
}

json candidate_json(const CandidateReport& c, int chosen, const SceneNames& names) {
  return {{"scene", c.target},      {"name", names.name(c.target)},
          {"uses", c.use_count},    {"priority", c.priority},
          {"disabled", c.disabled}, {"condition", c.condition_holds},
          {"in_draw", c.tied},      {"drawn", c.tied && c.target == chosen}};
}

json event_json(const TraceEvent& e, const SceneNames& names) {
  json out = {{"scene", e.scene}, {"name", names.name(e.scene)}};
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
  }
  return out;
}

}  // namespace

void TraceRecorder::scene_entered(int scene, SceneEntry how) {
  TraceEvent event;
  event.scene = scene;
  event.how = how;
  events_.push_back(std::move(event));
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
  events_.push_back(std::move(event));
}

void TraceRecorder::clear() {
  events_.clear();
  end_ = RunEnd::NO_SCENES;
}

std::string trace_text(const TraceRecorder& trace, const SceneNames& names, int number) {
  std::string out = "trace of story " + std::to_string(number) + ":\n";
  for (const TraceEvent& e : trace.events()) {
    switch (e.type) {
      case TraceEvent::Type::ENTER:
        out += std::string("  ") + entry_word(e.how) + " " + names.name(e.scene) + "\n";
        break;
      case TraceEvent::Type::SELECT:
        if (names.draws(e.scene)) append_draw(e, names, out);
        break;
      case TraceEvent::Type::DIRECTIVE:
        out += std::string("  ") + directive_word(e.kind) + " " + names.name(e.scene) + "\n";
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
