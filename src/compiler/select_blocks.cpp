// Building the title list and the lists of the named blocks.
#include "compiler/select_blocks.h"

#include <cstring>

#include "base/limits.h"
#include "base/text.h"
#include "language/char_classes.h"
#include "language/condition_syntax.h"

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

std::string describe_compile_error(const CompileError& error) {
  const auto shown = [](const char* text) {
    return std::string_view(text, static_cast<std::size_t>(bounded_length(text)));
  };
  std::string message;
  if (error.destination[0] != '\0') {
    message.append("Scene \"").append(shown(error.destination));
    message.append("\" not found in select statement ");
  } else {
    message.append("Destination not foud in select statement ");
  }
  return message.append("\"").append(shown(error.block_name)).append("\"");
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
    Op op = Op::NONE;
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

void build_scene_lists(const std::vector<SceneBlock>& blocks, int block_count,
                       const std::vector<const char*>& lines, SceneTable& table,
                       ConditionTexts& conditions, std::vector<CompileError>& errors,
                       std::int32_t& choice_points) {
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
        const int line = static_cast<int>(block.body.items - lines.data()) + i;
        errors.push_back(CompileError{table.names[scene], destination, line});
      }
      table.records.push_back(record);
    }
    table.end_list();
  }
}

}  // namespace plotwright
