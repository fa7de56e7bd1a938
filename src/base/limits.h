// The fixed capacities of the story engine, in one place. Observable behaviour depends on them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace plotwright {

// Texts: scenario lines and the working texts of the language.
inline constexpr int kTextCapacity = 4096;  // bytes of a working text, terminator included
inline constexpr int kTextMaxLength = kTextCapacity - 1;
inline constexpr int kContinuationWindow = 2048;  // a physical line continues only within this
inline constexpr int kSeparatorWindow = 1024;     // line-level `|` count and the bracket check

// Source and compile.
inline constexpr int kMaxStoredLines = 199999;  // the store's 200000th entry is its end mark
inline constexpr int kStatementLimit = 200000;  // lines walked by classification and blocks
inline constexpr int kKeywordRowLimit = 1000;
inline constexpr int kKeywordCompareLimit = 100;
inline constexpr int kLookupWindow = 10000;  // entries a name lookup looks at
inline constexpr int kSpecialScenes = 13;

// Generation.
inline constexpr int kRunLineLimit = 30000;  // lines processed per run
inline constexpr int kStepLimit = 30000;     // scene changes while looking for one line
inline constexpr int kResetWindow = 10000;   // scenes whose run state a run resets
inline constexpr int kMaxCandidates = 100;
inline constexpr int kHistoryCapacity = 1000;
inline constexpr int kMaxGroupPasses = 10;
inline constexpr int kMaxVariables = 80;
// A formatted number: any double in "%.0f" (309 digits and a sign) fits whole.
inline constexpr int kNumberTextCapacity = 320;
inline constexpr int kFullWidthDigits = 4;
// The work one run may do, counted roughly in bytes scanned: the lines run and the text
// variables printed (once per expansion pass), the variable names compared while looking
// variables up, and the candidates and condition texts weighed while choosing the next
// scene. The limits above still let a scenario ask for hours of work in one run, by cycling
// through scenes whose choices test long conditions or by printing a long template a
// thousand times a line; a run that reaches this much ends there, with the story written so
// far. No sound scenario comes near it: a long story spends a few million.
inline constexpr std::int64_t kRunWorkLimit = 250'000'000;
// The work of one scene change, and of each candidate it weighs, besides condition texts.
inline constexpr std::int64_t kStepWork = 4;

// Output.
inline constexpr int kPendingCapacity = 4096;
inline constexpr int kStoryCapacity = 327670;

// Statistics.
inline constexpr int kStatisticsFieldWidth = 12;
// The bytes of the statistics file read per record: a record takes 25 or 26; the rest leaves
// room for files edited by hand. A longer file does not fit its scenario, and reading it
// stops there.
inline constexpr std::size_t kStatisticsBytesPerRecord = 64;
// How long a save waits for another program that holds the statistics file's lock. A run of
// this program holds it for milliseconds; anyone who may read the file may hold it for ever,
// so past this wait the save gives up and this run's counts are lost, but only this run's.
// The wait starts anew whenever the file is replaced meanwhile: another run saved, and the
// runs take their turns however many there are.
inline constexpr int kStatisticsLockWaitMilliseconds = 1000;
// Another run of this program holds the lock only while it writes, a few milliseconds: a lock
// held longer than this is another program's, and the user hears of it then.
inline constexpr int kStatisticsLockNoticeMilliseconds = 200;

// Scenario files: the most a front end reads, far beyond any scenario written by hand (the
// line limit's 199,998 lines of a kilobyte each are 200 MB). Reading stops there, so that a
// device or an endless stream named as the scenario ends with a message instead of taking
// all memory.
inline constexpr std::size_t kMaxScenarioBytes = std::size_t{256} << 20;  // 256 MiB

// Scenes with a fixed role.
inline constexpr int kSceneFirst = 1;
inline constexpr int kSceneStartMessage = 2;
inline constexpr int kSceneChapterNumber = 3;
inline constexpr int kSceneParagraph = 4;
inline constexpr int kSceneDummy = 5;
inline constexpr int kSceneClosing = 6;
inline constexpr int kSceneEnd = 7;
inline constexpr int kSceneTitleList = 13;

// The random source yields 0 to kRandMax.
inline constexpr int kRandMax = 32767;

}  // namespace plotwright
