// The `plotwright/coverage` request: many stories of an open document's text, told in memory
// by the same coverage code as `plotwright coverage`, answered with what they never reach.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "authoring/coverage_run.h"
#include "lsp/open_document.h"

namespace plotwright::lsp {

// The stories one request tells when it names no count, and the most it may ask for: the
// server answers nothing else while they run.
inline constexpr int kDefaultCoverageStories = 1000;
inline constexpr int kMaxCoverageStories = 100000;

// params: textDocument.uri, count (optional, 1 or more; above kMaxCoverageStories it is cut to
// that), seed (optional, 0 to 2^32-1; none: the clock's time). The result's JSON text:
// {stories, seed?, blocks, reachedBlocks, choices, takenChoices, cutShort: [{limit, stories}],
//  unreached: [{name, kind, range}], untaken: [{name, select, range}]}, where `untaken` holds
// the choice lines of reached select blocks whose destination their draws never took. No
// statistics file is read or written. A RequestError when the text tells no story.
std::string coverage(OpenDocument& document, Cp932Codec& codec, const json& params);

// params.seed, from 0 to 2^32-1; none when missing or null (the clock's time). A RequestError
// for anything else.
std::optional<std::uint32_t> seed_of(const json& params);

// Tells the stories that `params` asks for (count and seed, as above) into `run`, the way the
// coverage request does; the seed it used, if any. A RequestError for a bad count or seed, or
// when the text tells no story.
std::optional<std::uint32_t> tell_coverage_stories(OpenDocument& document, Cp932Codec& codec,
                                                   const json& params, CoverageRun& run);

}  // namespace plotwright::lsp
