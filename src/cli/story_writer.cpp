// The three forms of a story on standard output.
#include "cli/story_writer.h"

#include <ostream>

#include "encoding/json_text.h"

namespace plotwright::cli {

void StoryWriter::write(std::string_view engine_text, int index, std::string_view trace_json) {
  if (options_.json) {
    // {"index":N,"text":"..."[,"trace":[...]]}, the members in the order of their names.
    line_.assign("{\"index\":").append(std::to_string(index)).append(",\"text\":");
    append_json_string(line_, codec_.engine_text_to_utf8(engine_text));
    if (!trace_json.empty()) line_.append(",\"trace\":").append(trace_json);
    line_.append("}\n");
    out_ << line_;
  } else if (options_.raw) {
    write_lines(engine_text, "\r\n", index);
  } else {
    write_lines(codec_.engine_text_to_utf8(engine_text), "\n", index);
  }
}

// Stories after the first are preceded by a line that holds only a form feed. Text shown as
// UTF-8 always ends with a line end; raw bytes are written as they are.
void StoryWriter::write_lines(std::string_view text, std::string_view line_end, int index) {
  if (index > 0) out_ << (ended_line_ ? "" : line_end) << '\f' << line_end;
  out_ << text;
  ended_line_ = text.ends_with('\n');
  if (!options_.raw && !ended_line_) {
    out_ << line_end;
    ended_line_ = true;
  }
}

}  // namespace plotwright::cli
