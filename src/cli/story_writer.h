// Writes the stories one after another, in the form the options ask for: UTF-8 text with LF
// line ends, the engine's bytes unchanged, or one JSON object per line.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

#include "cli/options.h"
#include "encoding/cp932_codec.h"

namespace plotwright::cli {

class StoryWriter {
 public:
  StoryWriter(const Options& options, std::ostream& out, Cp932Codec& codec)
      : options_(options), out_(out), codec_(codec) {}

  // Writes story `index` (0 for the first). `trace_json`, when not empty, is the JSON value of
  // the story's "trace" member (in --json only).
  void write(std::string_view engine_text, int index, std::string_view trace_json = {});

 private:
  void write_lines(std::string_view text, std::string_view line_end, int index);

  const Options& options_;
  std::ostream& out_;
  Cp932Codec& codec_;
  std::string line_;  // the JSON line being built
  bool ended_line_ = true;
};

}  // namespace plotwright::cli
