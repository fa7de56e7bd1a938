// The C interface of libplotwright through its header: stories, statuses and messages,
// statistics in memory and on disk, diagnostics, and handles in two threads at once.
#include "plotwright/plotwright.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "embed/failure_status.h"

namespace {

// Two titles, so that the statistics are kept: 14 records (scenes 1 to 14).
constexpr const char* kTwoTitles = "title A\nAlpha.\ntitle B\nBeta.\n";
constexpr const char* kExample = PLOTWRIGHT_SOURCE_DIR "/examples/yoru-no-eki.sjis.vell";

using Handle = std::unique_ptr<plotwright_scenario, void (*)(plotwright_scenario*)>;

Handle open_text(const std::string& text, plotwright_encoding encoding = PLOTWRIGHT_ENCODING_AUTO) {
  Handle h(plotwright_new(), plotwright_free);
  EXPECT_EQ(plotwright_open_text(h.get(), text.data(), text.size(), encoding), PLOTWRIGHT_OK)
      << plotwright_message(h.get());
  return h;
}

std::string story(plotwright_scenario* h, std::uint32_t seed) {
  const char* text = nullptr;
  size_t length = 0;
  EXPECT_EQ(plotwright_story(h, seed, &text, &length), PLOTWRIGHT_OK) << plotwright_message(h);
  return std::string(text, length);
}

std::string regenerate(plotwright_scenario* h) {
  const char* text = nullptr;
  EXPECT_EQ(plotwright_regenerate(h, &text, nullptr), PLOTWRIGHT_OK) << plotwright_message(h);
  return text;
}

std::string statistics(plotwright_scenario* h) {
  const char* text = nullptr;
  EXPECT_EQ(plotwright_statistics(h, &text, nullptr), PLOTWRIGHT_OK) << plotwright_message(h);
  return text;
}

// The statistics records of `uses` (scene 1 first) with every run count `runs`.
std::string records(std::initializer_list<int> uses, int runs) {
  std::string text;
  char line[32];
  for (int use : uses) {
    std::snprintf(line, sizeof line, "%12d%12d\n", use, runs);
    text += line;
  }
  return text;
}

TEST(CApi, ACompileErrorHandsBackItsMessagesAsTextAndMessage) {
  Handle h = open_text("title A\n{R}\nselect R\nNowhere\n");
  const char* text = nullptr;
  EXPECT_EQ(plotwright_story(h.get(), 1, &text, nullptr), PLOTWRIGHT_SCENARIO_ERROR);
  EXPECT_STREQ(text, "Scene \"Nowhere\" not found in select statement \"R\"\n");
  EXPECT_STREQ(plotwright_message(h.get()),
               "Scene \"Nowhere\" not found in select statement \"R\"");
  EXPECT_EQ(plotwright_regenerate(h.get(), &text, nullptr), PLOTWRIGHT_SCENARIO_ERROR);
  // The same as diagnostics: their place, code and message.
  const plotwright_diagnostic* list = nullptr;
  size_t count = 0;
  ASSERT_EQ(plotwright_diagnostics(h.get(), &list, &count), PLOTWRIGHT_OK);
  ASSERT_GE(count, 1u);
  EXPECT_EQ(list[0].line, 4);
  EXPECT_EQ(list[0].column, 1);
  EXPECT_EQ(list[0].severity, PLOTWRIGHT_SEVERITY_ERROR);
  EXPECT_STREQ(plotwright_severity_name(list[0].severity), "error");
  EXPECT_STREQ(plotwright_severity_name(PLOTWRIGHT_SEVERITY_WARNING), "warning");
  EXPECT_STREQ(plotwright_severity_name(PLOTWRIGHT_SEVERITY_NOTE), "note");
  EXPECT_EQ(plotwright_severity_name(static_cast<plotwright_severity>(3)), nullptr);
  EXPECT_STREQ(list[0].code, "V101");
  EXPECT_STREQ(list[0].message, "Scene \"Nowhere\" not found in select statement \"R\"");
}

// A text refused leaves the scenario that was open. One past the limit of a file is refused
// before a byte of it is read: its pages are mapped but never touched.
TEST(CApi, ARefusedTextLeavesTheOpenScenario) {
  const size_t too_long = (size_t{256} << 20) + 1;
  void* pages = ::mmap(nullptr, too_long, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(pages, MAP_FAILED);
  const struct {
    std::string_view text;
    plotwright_status status;
    const char* message;
  } refused[] = {{"title A\nA smile \xF0\x9F\x98\x80\n", PLOTWRIGHT_ENCODING_ERROR,
                  "line 2: character U+1F600 (\xF0\x9F\x98\x80) has no Shift-JIS form"},
                 {{static_cast<const char*>(pages), too_long},
                  PLOTWRIGHT_ARGUMENT_ERROR,
                  "the scenario is longer than 256 MiB, more than any scenario holds"}};
  Handle h = open_text("title A\nKept.\n");
  for (const auto& [text, status, message] : refused) {
    EXPECT_EQ(plotwright_open_text(h.get(), text.data(), text.size(), PLOTWRIGHT_ENCODING_AUTO),
              status);
    EXPECT_STREQ(plotwright_message(h.get()), message);
    EXPECT_NE(story(h.get(), 1).find("Kept."), std::string::npos);
    EXPECT_STREQ(plotwright_message(h.get()), "");
  }
  ::munmap(pages, too_long);
}

TEST(CApi, StatisticsSetAsTextWeighOnTheNextStoryAndThoseThatDoNotFitAreRefused) {
  Handle h = open_text(kTwoTitles);
  const std::string short_text = records({1, 2}, 1);
  EXPECT_EQ(plotwright_set_statistics(h.get(), short_text.data(), short_text.size()),
            PLOTWRIGHT_ARGUMENT_ERROR);
  // Title A (scene 14) has been used five times: the least used, B, is told.
  const std::string used = records({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5}, 2);
  ASSERT_EQ(plotwright_set_statistics(h.get(), used.data(), used.size()), PLOTWRIGHT_OK);
  EXPECT_EQ(statistics(h.get()), used);
  EXPECT_NE(story(h.get(), 1).find("Beta."), std::string::npos);
  EXPECT_EQ(statistics(h.get()), records({1, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1, 5}, 3));
  // A scenario without a choice keeps no statistics.
  Handle plain = open_text("title A\nNo choice.\n");
  EXPECT_EQ(plotwright_set_statistics(plain.get(), used.data(), used.size()),
            PLOTWRIGHT_ARGUMENT_ERROR);
  story(plain.get(), 1);
  EXPECT_EQ(statistics(plain.get()), "");
}

std::string file_text(const std::filesystem::path& path) {
  std::stringstream content;
  content << std::ifstream(path, std::ios::binary).rdbuf();
  return content.str();
}

// A folder of its own for a scenario whose statistics are kept on disk.
class CApiOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ =
        std::filesystem::temp_directory_path() / ("plotwright_c_api_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder_);
    std::ofstream(folder_ / "story.vell") << kTwoTitles;
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }
  std::string scenario() const { return (folder_ / "story.vell").string(); }
  std::filesystem::path saved() const { return folder_ / "story.vus"; }

  std::filesystem::path folder_;
};

// Each status names its failure: one call on a new handle that meets it, and the message it
// leaves. (A scenario that does not compile: ACompileErrorHandsBackItsMessagesAsTextAndMessage.)
TEST_F(CApiOnDisk, EachFailureHasTheStatusThatNamesIt) {
  std::filesystem::create_directory(saved());  // the statistics cannot be saved
  Handle h(nullptr, plotwright_free);
  const auto fresh = [&] { return h.reset(plotwright_new()), h.get(); };
  const auto expect = [&](plotwright_status got, plotwright_status want, std::string_view start) {
    EXPECT_EQ(got, want) << start;
    const std::string message = plotwright_message(h.get());
    EXPECT_TRUE(!message.empty() && message.starts_with(start)) << message;
  };
  const char* text = nullptr;
  expect(plotwright_story(fresh(), 1, &text, nullptr), PLOTWRIGHT_STATE_ERROR,
         "no scenario is open");
  expect(plotwright_open_file(fresh(), "/no/such.vell", PLOTWRIGHT_ENCODING_AUTO, 0),
         PLOTWRIGHT_FILE_ERROR, "/no/such.vell: ");
  expect(plotwright_open_text(fresh(), "\xFF\n", 2, PLOTWRIGHT_ENCODING_UTF8),
         PLOTWRIGHT_ENCODING_ERROR, "line 1");
  expect(plotwright_set_statistics(fresh(), nullptr, 3), PLOTWRIGHT_ARGUMENT_ERROR,
         "a null pointer");
  expect(plotwright_open_file(fresh(), nullptr, PLOTWRIGHT_ENCODING_AUTO, 0),
         PLOTWRIGHT_ARGUMENT_ERROR, "a null pointer");
  // Encodings outside the enum, as a C caller may pass them: refused before they are used.
  for (const int encoding : {3, 4, 255, -1}) {
    const auto given = static_cast<plotwright_encoding>(encoding);
    expect(plotwright_open_text(fresh(), "", 0, given), PLOTWRIGHT_ARGUMENT_ERROR,
           "unknown encoding");
    expect(plotwright_open_file(fresh(), kExample, given, 0), PLOTWRIGHT_ARGUMENT_ERROR,
           "unknown encoding");
  }
  EXPECT_EQ(plotwright_story(nullptr, 1, &text, nullptr), PLOTWRIGHT_ARGUMENT_ERROR);
  EXPECT_STREQ(plotwright_message(nullptr), "no handle");
  ASSERT_EQ(plotwright_open_file(fresh(), scenario().c_str(), PLOTWRIGHT_ENCODING_AUTO,
                                 PLOTWRIGHT_KEEP_STATISTICS),
            PLOTWRIGHT_OK);
  expect(plotwright_set_statistics(h.get(), "", 0), PLOTWRIGHT_STATISTICS_ERROR, "");
}

// What is thrown beneath the interface: the status that names it, never one for all.
TEST(CApi, EachKindOfThrownFailureHasItsOwnStatus) {
  const auto status_of = [](auto thrown) {
    try {
      throw thrown;
    } catch (...) {
      const plotwright::embed::Failure failure = plotwright::embed::current_failure();
      EXPECT_NE(failure.what[0], '\0');
      return failure.status;
    }
  };
  EXPECT_EQ(status_of(std::bad_alloc()), PLOTWRIGHT_MEMORY_ERROR);
  EXPECT_EQ(status_of(std::length_error("long")), PLOTWRIGHT_MEMORY_ERROR);
  EXPECT_EQ(status_of(std::system_error(std::make_error_code(std::errc::io_error))),
            PLOTWRIGHT_FILE_ERROR);
  EXPECT_EQ(status_of(std::range_error("code")), PLOTWRIGHT_ENCODING_ERROR);
  EXPECT_EQ(status_of(std::invalid_argument("arg")), PLOTWRIGHT_ARGUMENT_ERROR);
  EXPECT_EQ(status_of(std::out_of_range("index")), PLOTWRIGHT_ARGUMENT_ERROR);
  EXPECT_EQ(status_of(std::logic_error("bug")), PLOTWRIGHT_INTERNAL_ERROR);
  EXPECT_EQ(status_of(42), PLOTWRIGHT_INTERNAL_ERROR);
}

// Statistics in memory never touch the disk; kept ones are written beside the scenario at the
// end of each run and when the handle goes.
TEST_F(CApiOnDisk, KeptStatisticsAreWrittenBesideTheScenarioAtTheEndOfEachRun) {
  Handle h(plotwright_new(), plotwright_free);
  ASSERT_EQ(plotwright_open_file(h.get(), scenario().c_str(), PLOTWRIGHT_ENCODING_AUTO, 0),
            PLOTWRIGHT_OK);
  story(h.get(), 1);
  EXPECT_EQ(plotwright_save_statistics(h.get()), PLOTWRIGHT_OK);
  h.reset(plotwright_new());
  EXPECT_FALSE(std::filesystem::exists(saved()));
  ASSERT_EQ(plotwright_open_file(h.get(), scenario().c_str(), PLOTWRIGHT_ENCODING_AUTO,
                                 PLOTWRIGHT_KEEP_STATISTICS),
            PLOTWRIGHT_OK);
  story(h.get(), 1);
  const std::string first = statistics(h.get());
  EXPECT_FALSE(std::filesystem::exists(saved()));
  story(h.get(), 1);
  EXPECT_EQ(file_text(saved()), first);
  const std::string second = statistics(h.get());
  EXPECT_NE(second, first);
  h.reset();
  EXPECT_EQ(file_text(saved()), second);
}

// The table every front end reads (tests/frontends/same_story.txt): each run's stories, joined
// as the program prints them, and its statistics must be the program's bytes.
TEST_F(CApiOnDisk, EachRunOfTheSharedTableTellsWhatTheProgramPrints) {
  std::ifstream table(PLOTWRIGHT_SOURCE_DIR "/tests/frontends/same_story.txt");
  std::string line, path, kept;
  std::uint32_t seed = 0;
  int count = 0, runs = 0;
  while (std::getline(table, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream(line) >> path >> seed >> count >> kept;
    const std::string bytes = file_text(PLOTWRIGHT_SOURCE_DIR "/" + path);
    std::filesystem::remove(saved());
    std::ofstream(folder_ / "story.vell", std::ios::binary) << bytes;
    const std::string command = "cd '" + folder_.string() + "' && '" PLOTWRIGHT_CLI "' --seed " +
                                std::to_string(seed) + " --count " + std::to_string(count) +
                                (kept == "kept" ? "" : " --no-stats") +
                                " story.vell >printed 2>/dev/null";
    ASSERT_NE(std::system(command.c_str()), -1);
    const std::string printed = file_text(folder_ / "printed");

    Handle h = open_text(bytes);
    const char* text = nullptr;
    size_t length = 0;
    const bool compiled = plotwright_story(h.get(), seed, &text, &length) == PLOTWRIGHT_OK;
    std::string told(text, length);  // when not compiled, the messages, once
    for (int i = 1; compiled && i < count; ++i) told += "\f\n" + regenerate(h.get());
    EXPECT_EQ(told, printed) << line;
    ASSERT_EQ(plotwright_save_statistics(h.get()), PLOTWRIGHT_OK);
    if (kept == "kept") {
      EXPECT_EQ(statistics(h.get()), file_text(saved())) << line;
    }
    ++runs;
  }
  EXPECT_GT(runs, 0);
}

// Stories of every seed from 1 to `count`, from a handle of its own.
std::vector<std::string> stories_of(int count) {
  Handle h(plotwright_new(), plotwright_free);
  EXPECT_EQ(plotwright_open_file(h.get(), kExample, PLOTWRIGHT_ENCODING_AUTO, 0), PLOTWRIGHT_OK);
  std::vector<std::string> stories;
  for (int seed = 1; seed <= count; ++seed) {
    std::string first = story(h.get(), static_cast<std::uint32_t>(seed));  // then the next
    stories.push_back(first + regenerate(h.get()));
  }
  return stories;
}

TEST(CApi, TwoHandlesInTwoThreadsTellWhatEachWouldAlone) {
  const std::vector<std::string> alone = stories_of(40);
  std::vector<std::string> in_threads[2];
  std::thread first([&] { in_threads[0] = stories_of(40); });
  std::thread second([&] { in_threads[1] = stories_of(40); });
  first.join();
  second.join();
  EXPECT_EQ(in_threads[0], alone);
  EXPECT_EQ(in_threads[1], alone);
}

}  // namespace
