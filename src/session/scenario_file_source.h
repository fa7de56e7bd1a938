// The parts of a session that need the host system: a scenario read from a file, and the
// statistics store on disk. Not in a WebAssembly build, which has no platform layer.
#pragma once

#include <memory>
#include <string>

#include "base/file_store.h"
#include "platform/disk_file_store.h"
#include "session/opened_scenario.h"

namespace plotwright::session {

// Reads the scenario `name` ("-": standard input) as platform::read_scenario_file does: at
// most kMaxScenarioBytes, streams only with `allow_streams`, the real path for the statistics.
// The reading's notes become SCENARIO_FILE and STATISTICS_NOT_KEPT notes. False, with the reason in
// `error` (not naming the file), when it cannot be read; call decode() next.
[[nodiscard]] bool scenario_from_file(const std::string& name, bool allow_streams,
                                      InputEncoding encoding, OpenedScenario& scenario,
                                      std::string* error);

// The statistics store on disk for a StoryTeller's StatisticsPlace::DISK.
std::unique_ptr<FileStore> disk_statistics_store(platform::DiskFileStore::BusyNotice busy = {});

}  // namespace plotwright::session
