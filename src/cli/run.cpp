// One run of the plotwright program: read and decode the scenario, load it, write the stories,
// save the statistics.
#include "cli/run.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>

#include "base/clock.h"
#include "base/diagnostics.h"
#include "compiler/line_source.h"
#include "controller/document.h"
#include "encoding/scenario_encoding.h"
#include "statistics/file_store.h"

namespace plotwright::cli {

namespace {

// Shows diagnostic bytes (Shift-JIS, as the engine writes them) as UTF-8 on a stream. Only
// whole lines are converted, so a double-byte character is never cut in two: a line feed
// byte never occurs inside one.
class Utf8StreamDiagnostics final : public DiagnosticSink {
 public:
  Utf8StreamDiagnostics(std::ostream& stream, Cp932Codec& codec) : stream_(stream), codec_(codec) {}

  void write(std::string_view bytes) override {
    pending_.append(bytes);
    const std::size_t end = pending_.rfind('\n');
    if (end == std::string::npos) return;
    stream_ << codec_.engine_text_to_utf8(std::string_view(pending_).substr(0, end + 1));
    pending_.erase(0, end + 1);
  }

  // Writes a last line that came without its line feed.
  void finish() {
    if (pending_.empty()) return;
    stream_ << codec_.engine_text_to_utf8(pending_) << '\n';
    pending_.clear();
  }

 private:
  std::ostream& stream_;
  Cp932Codec& codec_;
  std::string pending_;
};

// Writes the stories one after another, in the form the options ask for: UTF-8 text with LF
// line ends, the engine's bytes unchanged, or one JSON object per line.
class StoryWriter {
 public:
  StoryWriter(const Options& options, std::ostream& out, Cp932Codec& codec)
      : options_(options), out_(out), codec_(codec) {}

  void write(std::string_view engine_text, int index) {
    if (options_.json) {
      const nlohmann::json story = {{"index", index},
                                    {"text", codec_.engine_text_to_utf8(engine_text)}};
      out_ << story.dump() << '\n';
    } else if (options_.raw) {
      write_lines(engine_text, "\r\n", index);
    } else {
      write_lines(codec_.engine_text_to_utf8(engine_text), "\n", index);
    }
  }

 private:
  // Stories after the first are preceded by a line that holds only a form feed. Text shown
  // as UTF-8 always ends with a line end; raw bytes are written as they are.
  void write_lines(std::string_view text, std::string_view line_end, int index) {
    if (index > 0) out_ << (ended_line_ ? "" : line_end) << '\f' << line_end;
    out_ << text;
    ended_line_ = text.ends_with('\n');
    if (!options_.raw && !ended_line_) {
      out_ << line_end;
      ended_line_ = true;
    }
  }

  const Options& options_;
  std::ostream& out_;
  Cp932Codec& codec_;
  bool ended_line_ = true;
};

// The statistics file lands beside the scenario, so the document needs its full path.
std::string full_path(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error ? path : absolute.lexically_normal().string();
}

// A statistics file that cannot be written costs the user nothing of the story: warn only.
void warn_unsaved_statistics(const std::string& error, std::ostream& err) {
  if (!error.empty()) err << "plotwright: warning: could not save statistics: " << error << '\n';
}

int exit_status_of(const LoadOutcome& loaded) {
  return loaded.compile_result > 0 || loaded.read_result == 1 ? kExitScenario : kExitStory;
}

// Loads the engine bytes of the scenario and writes options.count stories.
int tell_stories(const Options& options, Cp932Codec& codec, std::string engine_bytes,
                 std::ostream& out, std::ostream& err) {
  std::optional<FixedClock> fixed_clock;
  if (options.seed) fixed_clock.emplace(*options.seed);
  NullFileStore no_files;
  NullDiagnostics hidden;
  Utf8StreamDiagnostics shown(err, codec);
  DocumentServices services;
  services.clock = fixed_clock ? &*fixed_clock : nullptr;
  services.files = options.no_stats ? &no_files : nullptr;
  services.diagnostics = options.verbose ? static_cast<DiagnosticSink*>(&shown) : &hidden;

  Document document(services);
  FileLineSource source(std::move(engine_bytes));
  const LoadOutcome loaded = document.load_scenario(source, full_path(options.file));
  shown.finish();
  const int status = exit_status_of(loaded);

  StoryWriter writer(options, out, codec);
  writer.write(loaded.text, 0);  // the text is valid only until the next regeneration
  for (int index = 1; index < options.count; ++index) {
    writer.write(document.regenerate().value_or(std::string_view()), index);
  }
  shown.finish();

  warn_unsaved_statistics(loaded.statistics_error, err);
  warn_unsaved_statistics(document.shutdown().error, err);
  return status;
}

}  // namespace

FileContent read_whole_file(const std::string& path) {
  FileContent content;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                       &std::fclose);
  if (!file) {
    content.error = std::strerror(errno);
    return content;
  }
  char buffer[65536];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
    content.bytes.append(buffer, got);
  }
  if (std::ferror(file.get())) {
    content.error = std::strerror(errno);  // a directory gives "Is a directory" here
    return content;
  }
  content.ok = true;
  return content;
}

int run(const Options& options, std::ostream& out, std::ostream& err) {
  const FileContent file = read_whole_file(options.file);
  if (!file.ok) {
    err << "plotwright: " << options.file << ": " << file.error << '\n';
    return kExitUsage;
  }
  std::optional<Cp932Codec> codec;
  std::string error;
  if (!Cp932Codec::open(codec, &error)) {
    err << "plotwright: " << error << '\n';
    return kExitUsage;
  }
  DecodedScenario decoded;
  if (!decode_scenario(*codec, file.bytes, options.encoding, decoded, &error)) {
    err << "plotwright: " << options.file << ": " << error << '\n';
    return kExitUsage;
  }
  const int status = tell_stories(options, *codec, std::move(decoded.bytes), out, err);
  out.flush();
  if (!out) {
    err << "plotwright: could not write the story to standard output\n";
    return kExitUsage;
  }
  return status;
}

}  // namespace plotwright::cli
