// Many replacements in one text (Replace All's matches), shaped for the text control: each
// replacement put in costs the control about as much as a few hundred characters put in, so
// replacements close together go in as one, but never over a line that carries a mark (a mark
// goes with a line whose start a change takes away).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// [start, end) of a text becomes `text`.
struct RangeReplacement {
  long start = 0, end = 0;
  std::string text;
  bool operator==(const RangeReplacement&) const = default;
};

// Replacements closer together than this go in as one ...
inline constexpr long kJoinGap = 256;
// ... as long as the one spans no more than this.
inline constexpr long kJoinSpan = 64 * 1024;

// `ranges` (ascending, apart, within `text`, whose lines end with "\r") with neighbours joined:
// two become one, the text between them taken along, when at most `gap` characters lie between
// them, the joined one spans at most `span`, and none of the lines it touches is one of
// `keptLines` (zero-based, in any order).
std::vector<RangeReplacement> JoinCloseRanges(std::string_view text, const std::vector<RangeReplacement>& ranges,
                                              const std::vector<int>& keptLines, long gap = kJoinGap,
                                              long span = kJoinSpan);

}  // namespace quillon
