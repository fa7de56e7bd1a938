// Generated scenarios for the benchmarks: shaped like the stories authors write, and large.
#pragma once

#include <string>

namespace plotwright::bench {

// A title line with one 3-way group and 40 body lines: 37 text lines of 2 to 4 groups of
// three alternatives (about a third nesting another 3-way group) and, at lines 10, 20 and 30,
// jumps to select blocks of three one-line scenes whose line has 2 groups. About 2,000 bytes
// of ASCII per story.
std::string peer_shaped_scenario();

// A scene that prints a line and jumps to itself, so that a run reaches its 30000-line limit.
std::string long_run_scenario();

// `lines` logical lines in blocks of about 3.3 lines: scene blocks of two text lines and, every
// third block, a select block of two choices naming a scene before it and a scene after it.
std::string large_scenario(int lines);

// About `bytes` bytes of text lines dense with conditions: `<%n>1> ` a thousand times a line
// (7,000 bytes, of which the first 4,095 run), `%n` set first.
std::string dense_scenario(int bytes);

// `lines` text lines of about 1,750 bytes, each a dozen times a mix of conditions on numbers,
// texts and uses, variable settings and readings among 90 names, groups and a comment.
std::string mixed_scenario(int lines);

// A statistics file of `records` records.
std::string statistics_file(int records);

}  // namespace plotwright::bench
