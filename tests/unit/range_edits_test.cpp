#include "editor/range_edits.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillon {
namespace range_edits_test {

std::string Applied(std::string text, const std::vector<RangeReplacement>& ranges) {
  for (auto r = ranges.rbegin(); r != ranges.rend(); ++r)
    text.replace(static_cast<std::size_t>(r->start), static_cast<std::size_t>(r->end - r->start), r->text);
  return text;
}

// Close matches go into the control as one piece (far fewer pieces than matches in a dense
// text), far ones and those on marked lines each alone; the text comes out the same either way.
TEST(RangeEditsTest, CloseReplacementsJoinUnlessFarApartOrOnAMarkedLine) {
  // Lines 0-3: "R0 R0\r" (6 characters each), then 600 characters of line 4, then "R0\r".
  const std::string text = "R0 R0\rR0 R0\rR0 R0\rR0 R0\r" + std::string(600, 'x') + "\rR0\r";
  std::vector<RangeReplacement> ranges;
  for (long at : {0L, 3L, 6L, 9L, 12L, 15L, 18L, 21L, 625L}) ranges.push_back({at, at + 2, "R7"});
  struct Case {
    const char* what;
    std::vector<int> kept;
    long gap, span;
    std::vector<std::pair<long, long>> pieces;
  };
  const Case cases[] = {
      {"close ones joined, the far one alone", {}, 256, 16384, {{0, 23}, {625, 627}}},
      {"a marked line keeps its matches apart", {2}, 256, 16384, {{0, 11}, {12, 14}, {15, 17}, {18, 23}, {625, 627}}},
      {"a mark on a line without matches", {4}, 256, 16384, {{0, 23}, {625, 627}}},
      {"the span is limited", {}, 256, 11, {{0, 11}, {12, 23}, {625, 627}}},
      {"no gap allowed",
       {},
       0,
       16384,
       {{0, 2}, {3, 5}, {6, 8}, {9, 11}, {12, 14}, {15, 17}, {18, 20}, {21, 23}, {625, 627}}},
      {"a gap long enough for the far one", {}, 700, 16384, {{0, 627}}},
  };
  for (const Case& c : cases) {
    const std::vector<RangeReplacement> pieces = JoinCloseRanges(text, ranges, c.kept, c.gap, c.span);
    std::vector<std::pair<long, long>> spans;
    for (const RangeReplacement& p : pieces) spans.emplace_back(p.start, p.end);
    EXPECT_EQ(spans, c.pieces) << c.what;
    EXPECT_EQ(Applied(text, pieces), Applied(text, ranges)) << c.what;
  }
  EXPECT_TRUE(JoinCloseRanges(text, {}, {}).empty());
}

}  // namespace range_edits_test
}  // namespace quillon
