// The view of a text whose control keeps one size: every place of the text can be shown.
#include "editor/view_place.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quillon {
namespace {

// Every top, in texts shorter and longer than the control, shows exactly that part of the text
// and never asks the control for more than it can scroll or the window for more than it holds.
TEST(ViewPlace, EveryTopOfTheTextCanBeShown) {
  const struct {
    long content, control, visible;
  } axes[] = {
      {100, 1000, 300},     // short text
      {700, 1000, 300},     // longer than the window, shorter than the control
      {1000, 1000, 300},    // as long as the control
      {20000, 1000, 300},   // much longer: the last 700 pixels come from the shift
      {20000, 1000, 1000},  // the window as large as the control
      {0, 1000, 300},
  };
  for (const auto& a : axes) {
    const ViewAxis axis{a.content, a.control, a.visible};
    const long last = std::max(0L, a.content - a.visible);
    EXPECT_EQ(LastViewTop(axis), last);
    for (long top = -50; top <= a.content + 50; top += 7) {
      const ViewPlace place = PlaceView(axis, top);
      EXPECT_EQ(place.scroll + place.shift, std::clamp(top, 0L, last)) << a.content << " top " << top;
      EXPECT_GE(place.scroll, 0);
      EXPECT_LE(place.scroll, std::max(0L, a.content - a.control)) << "the control cannot scroll so far";
      EXPECT_GE(place.shift, 0);
      EXPECT_LE(place.shift, a.control - a.visible) << "the control's edge would show in the window";
    }
  }
}

TEST(ViewPlace, AControlThatStopsShortIsMadeUpByTheShiftWithinItsSize) {
  const ViewAxis axis{20000, 1000, 300};
  EXPECT_EQ(ShiftFor(axis, 19700, 19000), 700);  // the control went as far as asked
  EXPECT_EQ(ShiftFor(axis, 19700, 19100), 600);  // it scrolled further than planned
  EXPECT_EQ(ShiftFor(axis, 19700, 18000), 700);  // far short: the shift goes no further than the size allows
  EXPECT_EQ(ShiftFor(axis, 100, 400), 0);        // past the top: never a negative shift
}

TEST(ViewPlace, TheCaretComesIntoViewByTheLeastMove) {
  const struct {
    long top, visible, from, to, expected;
  } cases[] = {
      {100, 300, 150, 164, 100},                               // shows already
      {100, 300, 386, 400, 100},                               // its last row exactly
      {100, 300, 390, 404, 104},                               // just below: the view goes down by what is missing
      {100, 300, 90, 104, 90},                                 // just above
      {100, 300, 5000, 5014, 4714}, {100, 10, 150, 164, 150},  // taller than the view: its start shows
  };
  for (const auto& c : cases)
    EXPECT_EQ(TopShowing(c.top, c.visible, c.from, c.to), c.expected) << c.from << ".." << c.to;
}

TEST(ViewPlace, WidestLineCountsTabStops) {
  const struct {
    const char* text;
    int tabWidth;
    std::size_t expected;
  } cases[] = {
      {"", 8, 0},    {"abc", 8, 3},    {"a\r\nlonger\r\nb", 8, 6}, {"a\nlonger\rb", 8, 6},
      {"\tx", 8, 9}, {"abc\tx", 4, 5}, {"abcd\tx", 4, 9},          {"\t", 0, 1},
  };
  for (const auto& c : cases) EXPECT_EQ(WidestLineColumns(c.text, c.tabWidth), c.expected) << c.text;
}

}  // namespace
}  // namespace quillon
