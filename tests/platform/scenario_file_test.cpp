// Where a scenario's statistics may not be kept beside it: the system's files, and folders the
// user cannot write.
#include <gtest/gtest.h>

#include <string>

#include "platform/scenario_file_notes.h"

namespace plotwright::platform {
namespace {

TEST(ReadOnlyStatistics, SystemFilesAndUnwritableFoldersKeepNone) {
  const std::string system = "is one of the system's files";
  const std::string folder = "is in a folder you cannot write";
  struct Case {
    const char* path;
    bool folder_writable;
    bool statistics_exist;
    std::string starts;  // empty: statistics are kept
  } cases[] = {
      // Root may write there, and a statistics file there does not make it the user's.
      {"/usr/share/doc/plotwright/examples/a.vell", true, false, system},
      {"/usr/share/a.vell", false, true, system},
      {"/usr/a", true, false, system},
      // What the administrator installs, and names that only begin like the system's.
      {"/usr/local/share/a.vell", true, false, ""},
      {"/usrdata/a.vell", true, false, ""},
      {"/home/usr/a.vell", true, false, ""},
      {"/usr/local/share/a.vell", false, false, folder},
      // A statistics file the user may update in place is updated, whatever the folder.
      {"/home/me/a.vell", false, true, ""},
      {"/home/me/a.vell", false, false, folder},
      {"/home/me/a.vell", true, false, ""},
  };
  for (const Case& c : cases) {
    const std::string note =
        read_only_statistics_note(c.path, c.folder_writable, c.statistics_exist);
    SCOPED_TRACE(c.path);
    if (c.starts.empty()) {
      EXPECT_EQ(note, "");
    } else {
      EXPECT_EQ(note, c.starts +
                          "; no statistics are kept for it (copy it to a folder of your own to "
                          "keep them)");
    }
  }
}

}  // namespace
}  // namespace plotwright::platform
