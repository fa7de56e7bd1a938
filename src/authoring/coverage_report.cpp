// Gathering the coverage report and writing it as text, JSON or CSV.
#include "authoring/coverage_report.h"

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <ostream>

#include "authoring/text_width.h"
#include "base/limits.h"

namespace plotwright {

namespace {

using nlohmann::json;

const char* kind_word(BlockKind kind) {
  switch (kind) {
    case BlockKind::TITLE:
      return "title";
    case BlockKind::SCENE:
      return "scene";
    case BlockKind::SELECT:
      return "select";
    case BlockKind::MESSAGE:
      return "message";
  }
  return "";
}

double share(std::int64_t part, std::int64_t whole) {
  return whole > 0 ? static_cast<double>(part) / static_cast<double>(whole) : 0.0;
}

// The draw's choices: each target once, in the order of its first choice line, with the share
// of the lines that name it.
DrawReport draw_report(std::string name, int line, int scene, const std::vector<int>& targets,
                       const CoverageRecorder& recorder, const SceneNames& names) {
  DrawReport draw{std::move(name), line, scene, 0, 0, {}};
  for (const int target : targets) {
    auto same = [&](const ChoiceTaken& c) { return c.scene == target; };
    auto found = std::find_if(draw.choices.begin(), draw.choices.end(), same);
    if (found == draw.choices.end()) {
      draw.choices.push_back(ChoiceTaken{names.name(target), target, 0, 0.0});
      found = draw.choices.end() - 1;
    }
    found->even_share += 1.0 / static_cast<double>(targets.size());
  }
  if (const SceneDraws* counted = recorder.draws(scene)) {
    draw.draws = counted->draws;
    draw.none = counted->none;
    for (ChoiceTaken& choice : draw.choices) {
      for (const auto& [target, times] : counted->taken) {
        if (target == choice.scene) choice.taken = times;
      }
    }
  }
  return draw;
}

void add_draws(const ScenarioModel& model, const CoverageRecorder& recorder,
               const SceneNames& names, CoverageReport& report) {
  std::vector<int> titles;
  for (const ModelEdge& edge : model.edges) {
    if (edge.kind == EdgeKind::TITLE) titles.push_back(edge.to);
  }
  if (!titles.empty()) {
    report.draws.push_back(
        draw_report(names.name(kSceneTitleList), 0, kSceneTitleList, titles, recorder, names));
  }
  std::vector<std::vector<int>> targets(model.blocks.size());
  for (const ModelChoice& choice : model.choices) {
    if (choice.target > 0) targets[choice.block].push_back(choice.target);
  }
  for (std::size_t b = 0; b < model.blocks.size(); ++b) {
    const ModelBlock& block = model.blocks[b];
    if (block.kind != BlockKind::SELECT || targets[b].empty()) continue;
    report.draws.push_back(draw_report(names.block_name(static_cast<int>(b)),
                                       block.statement.begin.line, block.scene, targets[b],
                                       recorder, names));
  }
}

}  // namespace

CoverageReport make_coverage_report(const ScenarioModel& model, const CoverageRecorder& recorder,
                                    const SceneNames& names, const std::string& file,
                                    std::optional<std::uint32_t> seed) {
  CoverageReport report;
  report.file = file;
  report.runs = recorder.stories();
  report.seed = seed;
  for (int b = 0; b < static_cast<int>(model.blocks.size()); ++b) {
    const int scene = scene_of_block(model, b);
    const bool reachable = scene > 0 && model.reachable.size() > static_cast<std::size_t>(scene) &&
                           model.reachable[scene];
    report.blocks.push_back(BlockReach{names.block_name(b), kind_word(model.blocks[b].kind),
                                       model.blocks[b].statement.begin.line, scene,
                                       recorder.reached(scene), reachable});
  }
  add_draws(model, recorder, names, report);
  for (const auto& [end, stories] : recorder.ends()) {
    if (const char* limit = run_limit_name(end)) report.cut_short.emplace_back(limit, stories);
  }
  report.lines = spread_of(recorder.lines());
  report.characters = spread_of(recorder.characters());
  return report;
}

// ---------------------------------------------------------------------------------------------
// Text: tables that line up in a terminal.

namespace {

constexpr int kNameColumnLimit = 40;
constexpr const char* kNoChoice = "no choice qualified";

std::string percent(double fraction) {
  char text[16];
  std::snprintf(text, sizeof text, "%.1f%%", 100.0 * fraction);
  return text;
}

std::string number(std::int64_t value) {
  return std::to_string(value);
}

int name_column(const CoverageReport& report) {
  int width = 5;  // "Block"
  for (const BlockReach& block : report.blocks) width = std::max(width, display_width(block.name));
  for (const DrawReport& draw : report.draws) {
    for (const ChoiceTaken& c : draw.choices) width = std::max(width, 2 + display_width(c.name));
    if (draw.none > 0) width = std::max(width, 2 + display_width(kNoChoice));
  }
  return std::min(width, kNameColumnLimit);
}

void write_blocks_text(const CoverageReport& report, int width, std::ostream& out) {
  out << pad_right("Block", width) << "   line" << pad_left("stories", 10) << pad_left("share", 8)
      << '\n';
  for (const BlockReach& b : report.blocks) {
    out << pad_right(b.name, width) << pad_left(number(b.line), 7)
        << pad_left(number(b.stories), 10) << pad_left(percent(share(b.stories, report.runs)), 8);
    if (b.stories == 0) out << (b.reachable ? "  never reached" : "  never reached, unreachable");
    out << '\n';
  }
}

void write_draws_text(const CoverageReport& report, int width, std::ostream& out) {
  if (report.draws.empty()) return;
  out << '\n'
      << pad_right("Draw", width) << pad_left("taken", 17) << pad_left("share", 8)
      << pad_left("even", 8) << '\n';
  for (const DrawReport& d : report.draws) {
    out << d.name << (d.line ? " (line " + number(d.line) + ")" : "") << ": " << d.draws
        << (d.draws == 1 ? " draw\n" : " draws\n");
    for (const ChoiceTaken& c : d.choices) {
      out << "  " << pad_right(c.name, width - 2) << pad_left(number(c.taken), 17)
          << pad_left(percent(share(c.taken, d.draws)), 8) << pad_left(percent(c.even_share), 8)
          << '\n';
    }
    if (d.none > 0) {
      out << "  " << pad_right(kNoChoice, width - 2) << pad_left(number(d.none), 17)
          << pad_left(percent(share(d.none, d.draws)), 8) << '\n';
    }
  }
}

void write_ends_text(const CoverageReport& report, std::ostream& out) {
  std::vector<std::string> never;
  for (const BlockReach& b : report.blocks) {
    if (b.stories == 0) never.push_back(b.name);
  }
  out << '\n' << (never.empty() ? "Every block was reached." : "Never reached:");
  for (std::size_t i = 0; i < never.size(); ++i) out << (i ? ", " : " ") << never[i];
  out << '\n';
  for (const auto& [limit, stories] : report.cut_short) {
    out << "Cut short by " << limit << ": " << stories
        << (stories == 1 ? " story\n" : " stories\n");
  }
}

void write_lengths_text(const CoverageReport& report, std::ostream& out) {
  out << '\n' << "Story length      min  median     max\n";
  for (const auto& [name, spread] :
       {std::pair{"lines", report.lines}, std::pair{"characters", report.characters}}) {
    out << pad_right(name, 12) << pad_left(number(spread.min), 9)
        << pad_left(number(spread.median), 8) << pad_left(number(spread.max), 8) << '\n';
  }
}

}  // namespace

void write_coverage_text(const CoverageReport& report, std::ostream& out) {
  out << report.file << ": " << report.runs << (report.runs == 1 ? " story" : " stories");
  if (report.seed) out << ", seed " << *report.seed;
  out << "\n\n";
  const int width = name_column(report);
  write_blocks_text(report, width, out);
  write_draws_text(report, width, out);
  write_ends_text(report, out);
  write_lengths_text(report, out);
}

// ---------------------------------------------------------------------------------------------
// JSON and CSV.

namespace {

json spread_json(const Spread& s) {
  return {{"min", s.min}, {"median", s.median}, {"max", s.max}};
}

json draw_json(const DrawReport& d) {
  json choices = json::array();
  for (const ChoiceTaken& c : d.choices) {
    choices.push_back({{"name", c.name},
                       {"scene", c.scene},
                       {"taken", c.taken},
                       {"share", share(c.taken, d.draws)},
                       {"even_share", c.even_share}});
  }
  return {{"name", d.name},   {"line", d.line}, {"scene", d.scene},
          {"draws", d.draws}, {"none", d.none}, {"choices", choices}};
}

}  // namespace

void write_coverage_json(const CoverageReport& report, std::ostream& out) {
  json blocks = json::array();
  json never = json::array();
  for (const BlockReach& b : report.blocks) {
    blocks.push_back({{"name", b.name},
                      {"kind", b.kind},
                      {"line", b.line},
                      {"scene", b.scene},
                      {"stories", b.stories},
                      {"share", share(b.stories, report.runs)},
                      {"reachable", b.reachable}});
    if (b.stories == 0) never.push_back(b.name);
  }
  json draws = json::array();
  for (const DrawReport& d : report.draws) draws.push_back(draw_json(d));
  json cut_short = json::array();
  for (const auto& [limit, stories] : report.cut_short) {
    cut_short.push_back({{"limit", limit}, {"stories", stories}});
  }
  const json all = {
      {"file", report.file},
      {"runs", report.runs},
      {"seed", report.seed ? json(*report.seed) : json(nullptr)},
      {"blocks", blocks},
      {"draws", draws},
      {"never_reached", never},
      {"cut_short", cut_short},
      {"length",
       {{"lines", spread_json(report.lines)}, {"characters", spread_json(report.characters)}}}};
  out << all.dump(2) << '\n';
}

namespace {

// A CSV field (RFC 4180): quoted when it holds a comma, a quote or a line end.
std::string csv_field(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string out = "\"";
  for (const char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

std::string fraction(double value) {
  char text[16];
  std::snprintf(text, sizeof text, "%.4f", value);
  return text;
}

void csv_row(std::ostream& out, const char* record, const std::string& block, int line,
             const std::string& item, std::int64_t count, const std::string& share_text,
             const std::string& even) {
  out << record << ',' << csv_field(block) << ',' << (line ? number(line) : "") << ','
      << csv_field(item) << ',' << count << ',' << share_text << ',' << even << "\n";
}

}  // namespace

// One table: `record` says what a row is (reached, draw, cut_short, length) and which columns
// it fills.
void write_coverage_csv(const CoverageReport& report, std::ostream& out) {
  out << "record,block,line,item,count,share,even_share\n";
  for (const BlockReach& b : report.blocks) {
    csv_row(out, "reached", b.name, b.line, "", b.stories, fraction(share(b.stories, report.runs)),
            "");
  }
  for (const DrawReport& d : report.draws) {
    for (const ChoiceTaken& c : d.choices) {
      csv_row(out, "draw", d.name, d.line, c.name, c.taken, fraction(share(c.taken, d.draws)),
              fraction(c.even_share));
    }
    if (d.none > 0) {
      csv_row(out, "draw", d.name, d.line, "", d.none, fraction(share(d.none, d.draws)), "");
    }
  }
  for (const auto& [limit, stories] : report.cut_short) {
    csv_row(out, "cut_short", "", 0, limit, stories, fraction(share(stories, report.runs)), "");
  }
  for (const auto& [name, s] :
       {std::pair{"lines", report.lines}, std::pair{"characters", report.characters}}) {
    csv_row(out, "length", name, 0, "min", s.min, "", "");
    csv_row(out, "length", name, 0, "median", s.median, "", "");
    csv_row(out, "length", name, 0, "max", s.max, "", "");
  }
}

}  // namespace plotwright
