// A scenario made ready to tell stories, from bytes (here) or from a file on disk
// (session/scenario_file_source.h): the size limit, the encoding and the path its statistics
// go beside, and the notes a front end passes on to its user.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "encoding/cp932_codec.h"
#include "encoding/scenario_encoding.h"

namespace plotwright::session {

// What a front end should tell its user besides the story, as data: each front end decides
// whether and how to show it (a line on standard error, a status bar, a message text).
enum class NoteKind {
  SCENARIO_FILE,         // about the scenario file: "has carriage returns but no line feeds"
  STATISTICS_NOT_KEPT,   // why the file keeps none: "no statistics are kept for it"
  STATISTICS_READ_ONLY,  // the same for a file where none are to be written: a plain remark
  STATISTICS_REFUSED,    // this scenario's statistics file was refused or ignored: why
  STATISTICS_NOT_SAVED,  // statistics could not be saved: why
  CUT_SHORT,             // story `story` was cut short by `text` ("the line limit")
};

struct Note {
  NoteKind kind = NoteKind::SCENARIO_FILE;
  std::string text;  // a phrase, UTF-8 (a file's path as bytes)
  int story = 0;     // CUT_SHORT: which story of the session, from 1
};

// The path a scenario opened from bytes is known by: its statistics, kept in memory, are
// "scenario.vus".
inline constexpr const char* kTextScenarioPath = "scenario.vell";

struct OpenedScenario {
  std::string file_bytes;    // as read; decode() leaves them for the author tools' diagnostics
  std::string engine_bytes;  // Shift-JIS, after decode()
  InputEncoding encoding = InputEncoding::AUTO;
  // The document's path, beside which the statistics go.
  std::string path = kTextScenarioPath;
  // False for a stream, and for a file that would be its own statistics file.
  bool keep_statistics = true;
  std::vector<Note> notes;  // SCENARIO_FILE notes of the reading
};

// False, with "the scenario is longer than 256 MiB, ..." in `error`, for a scenario of `size`
// bytes that passes kMaxScenarioBytes: the one limit of every way a scenario comes in.
[[nodiscard]] bool scenario_size_allowed(std::size_t size, std::string* error);

// Takes a copy of a scenario's bytes as a file's content, known by kTextScenarioPath. False
// when they pass kMaxScenarioBytes (scenario_size_allowed), before anything is copied.
[[nodiscard]] bool scenario_from_bytes(std::string_view bytes, InputEncoding encoding,
                                       OpenedScenario& scenario, std::string* error);

// Converts the file's bytes to the engine's (decode_scenario). False, with the message in
// `error` (not naming the file), when a character has no Shift-JIS form or, with kUtf8, the
// bytes are not UTF-8.
[[nodiscard]] bool decode(Cp932Codec& codec, OpenedScenario& scenario, std::string* error);

}  // namespace plotwright::session
