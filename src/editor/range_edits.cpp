#include "editor/range_edits.h"

#include <algorithm>

namespace quillon {

std::vector<RangeReplacement> JoinCloseRanges(std::string_view text, const std::vector<RangeReplacement>& ranges,
                                              const std::vector<int>& keptLines, long gap, long span) {
  std::vector<int> kept = keptLines;
  std::sort(kept.begin(), kept.end());
  const auto isKept = [&kept](int first, int last) {
    auto at = std::lower_bound(kept.begin(), kept.end(), first);
    return at != kept.end() && *at <= last;
  };
  std::vector<RangeReplacement> joined;
  long counted = 0;  // the line breaks before `counted` are in `line`
  int line = 0;
  const auto lineOf = [&](long position) {
    for (; counted < position; ++counted)
      if (text[static_cast<std::size_t>(counted)] == '\r') ++line;
    return line;
  };
  int lastStartLine = 0;  // the line where joined.back() starts
  for (const RangeReplacement& r : ranges) {
    const int startLine = lineOf(r.start);
    if (!joined.empty()) {
      RangeReplacement& last = joined.back();
      const int endLine = lineOf(r.end);
      if (r.start - last.end <= gap && r.end - last.start <= span && !isKept(lastStartLine, endLine)) {
        last.text.append(text.substr(static_cast<std::size_t>(last.end), static_cast<std::size_t>(r.start - last.end)));
        last.text += r.text;
        last.end = r.end;
        continue;
      }
    }
    joined.push_back(r);
    lastStartLine = startLine;
  }
  return joined;
}

}  // namespace quillon
