// Scenarios and statistics on the disk.
#include "session/scenario_file_source.h"

#include <utility>

#include "platform/scenario_file.h"

namespace plotwright::session {

bool scenario_from_file(const std::string& name, bool allow_streams, InputEncoding encoding,
                        OpenedScenario& scenario, std::string* error) {
  platform::ScenarioFile file;
  if (!platform::read_scenario_file(name, allow_streams, file, error)) return false;
  scenario = OpenedScenario{};
  scenario.file_bytes = std::move(file.bytes);
  scenario.encoding = encoding;
  scenario.path = std::move(file.path);
  scenario.keep_statistics = file.keep_statistics;
  for (std::string& note : file.notes) {
    scenario.notes.push_back(Note{NoteKind::SCENARIO_FILE, std::move(note), 0});
  }
  for (std::string& note : file.statistics_notes) {
    scenario.notes.push_back(Note{NoteKind::STATISTICS_NOT_KEPT, std::move(note), 0});
  }
  for (std::string& note : file.read_only_notes) {
    scenario.notes.push_back(Note{NoteKind::STATISTICS_READ_ONLY, std::move(note), 0});
  }
  return true;
}

std::unique_ptr<FileStore> disk_statistics_store(platform::DiskFileStore::BusyNotice busy) {
  if (!busy) return std::make_unique<platform::DiskFileStore>();
  return std::make_unique<platform::DiskFileStore>(std::move(busy));
}

}  // namespace plotwright::session
