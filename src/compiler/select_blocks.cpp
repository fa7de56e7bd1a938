// Building the title list and the lists of the named blocks.
#include "compiler/select_blocks.h"

#include <cstring>

#include "base/limits.h"
#include "base/text.h"
#include "compiler/char_classes.h"
#include "generator/conditions.h"

namespace plotwright {

LineList ConditionTexts::add(std::string_view text) {
  texts_.emplace_back(text);
  refs_.push_back(texts_.back().c_str());
  return LineList{&refs_.back(), 1};
}

namespace {

const char* const kNoTitleLines[] = {"/", "No title statement", "/"};

}  // namespace

void build_title_list(const std::vector<SceneBlock>& blocks, SceneTable& table,
                      std::int32_t& choice_points) {
  int titles = 0;
  for (const SceneBlock& block : blocks) titles += block.row->title;
  if (titles > 1) ++choice_points;
  table.begin_list();
  if (titles == 0) {
    Record record;
    record.lines = LineList{kNoTitleLines, 3};
    table.records.push_back(record);
  }
  int scene = kSpecialScenes;
  for (const SceneBlock& block : blocks) {
    if (block.row->named) ++scene;
    if (!block.row->title) continue;
    Record record;
    record.target = scene;
    table.records.push_back(record);
  }
  table.end_list();
}

void report_missing_destination(OutputBuffers& output, const char* block_name,
                                const char* destination) {
  if (destination[0] != '\0') {
    output.story_put_text("Scene ");
    output.story_put_text("\"");
    output.story_put_text(destination);
    output.story_put_text("\"");
    output.story_put_text(" not found in select statement ");
  } else {
    output.story_put_text("Destination not foud in select statement ");
  }
  output.story_put_text("\"");
  output.story_put_text(block_name);
  output.story_put_text("\"");
  output.story_put_line_end();
}

namespace {

// choice -> '<' condition '>' blanks destination | destination
Record make_choice(const char* line, const SceneTable& table, ConditionTexts& conditions,
                   const char*& destination) {
  Record record;
  destination = line;
  if (line[0] == '<') {
    // The condition is parsed within the line's first 4095 bytes; the destination is the
    // rest of the whole line.
    TextBuffer bounded;
    copy_text(bounded.data(), line, kTextMaxLength);
    ClassArray classes;
    classify_text(bounded.data(), classes.data());
    TextBuffer left;
    TextBuffer right;
    int position = 1;
    int op = 0;
    const bool closed =
        parse_condition(bounded.data(), classes.data(), left.data(), right.data(), position, op);
    const int condition_end = closed ? position - 1 : position;
    record.condition = conditions.add(std::string_view(line + 1, condition_end - 1));
    position = skip_blanks(bounded.data(), position, kTextMaxLength);
    // A condition that never closes leaves no destination, on a line of any length.
    destination = closed ? line + position : line + std::strlen(line);
  }
  record.target = find_name(destination, table);
  return record;
}

}  // namespace

int build_scene_lists(const std::vector<SceneBlock>& blocks, int block_count, SceneTable& table,
                      ConditionTexts& conditions, OutputBuffers& output,
                      std::int32_t& choice_points) {
  int errors = 0;
  for (int b = 0; b < block_count && b < kStatementLimit; ++b) {
    const SceneBlock& block = blocks[b];
    if (!block.row->named) continue;
    const int scene = table.begin_list();
    if (block.row->opens_scene) {
      Record record;
      record.lines = block.body;
      table.records.push_back(record);
      table.end_list();
      continue;
    }
    if (block.body.count > 1) ++choice_points;
    for (int i = 0; i < block.body.count; ++i) {
      const char* destination = nullptr;
      Record record = make_choice(block.body.items[i], table, conditions, destination);
      if (record.target == 0) {
        report_missing_destination(output, table.names[scene], destination);
        ++errors;
      }
      table.records.push_back(record);
    }
    table.end_list();
  }
  return errors;
}

}  // namespace plotwright
