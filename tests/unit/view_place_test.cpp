// The view of a text whose control keeps one size: every place of the text can be shown.
#include "editor/view_place.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quillon {
namespace view_place_test {

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

// Scroll bar requests in a text of 1000 pixels shown 300 at a time, lines 16 apart.
TEST(ViewPlace, ScrollBarRequestsMoveByLinesPagesAndEnds) {
  const ViewAxis axis{1000, 2000, 300};
  struct Case {
    ScrollRequest request;
    long at, expected;
  };
  const Case cases[] = {
      {ScrollRequest::kLineOn, 100, 116},   {ScrollRequest::kLineBack, 100, 84},
      {ScrollRequest::kPageOn, 100, 384},  // a page keeps one line of the old view
      {ScrollRequest::kPageBack, 400, 116}, {ScrollRequest::kStart, 400, 0},
      {ScrollRequest::kEnd, 0, 700},  // the text's end at the window's far edge
      {ScrollRequest::kTo, 0, 555},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ScrollTarget(c.request, c.at, 16, axis, 555), c.expected) << static_cast<int>(c.request);
  EXPECT_EQ(ScrollTarget(ScrollRequest::kPageOn, 0, 16, ViewAxis{1000, 2000, 10}), 16)
      << "a window lower than a line still pages by a line";
}

TEST(ViewPlace, TheWheelTurnsByTheSystemsLinesOrAPage) {
  struct Case {
    long delta;
    unsigned lines;
    bool page;
    long expected;  // from the top 1000, lines 16 high, 300 shown
  };
  const Case cases[] = {
      {120, 3, false, 952},    // a notch away: three lines up
      {-120, 3, false, 1048},  // toward the user: down
      {240, 1, false, 968},    // two notches of one line
      {60, 4, false, 968},     // half a notch of a fine wheel: half the lines
      {-120, 0, true, 1300},   // a page a notch
  };
  for (const Case& c : cases) EXPECT_EQ(WheelTarget(1000, c.delta, c.lines, c.page, 16, 300), c.expected) << c.delta;
  EXPECT_EQ(WheelSidewaysTarget(50, 120, 3, 8), 74) << "a turn to the right shows what is further right";
  EXPECT_EQ(WheelSidewaysTarget(50, -120, 3, 8), 26);
}

// The control grows only when it must, and then well past what is needed, never past the largest.
TEST(ViewPlace, TheControlGrowsSeldomAndByMuch) {
  struct Case {
    const char* what;
    ViewAxis across, down;
    ControlSize expected;
  };
  const Case cases[] = {
      {"as large as the screen: it stays", {800, 1280, 700}, {5000, 1024, 600}, {false, 1280, 1024}},
      {"a line wider than it", {3000, 1280, 700}, {5000, 1024, 600}, {true, 6000, 1024}},
      {"a window larger than the screen", {800, 1280, 1500}, {5000, 1024, 1200}, {true, 3000, 2400}},
      {"a first, small control takes the screen", {100, 200, 150}, {100, 100, 80}, {true, 1280, 1024}},
      {"a line wider than the largest", {50000, 1280, 700}, {100, 1024, 600}, {true, kLargestControl, 1024}},
      {"the largest already: a wider line is the control's",
       {50000, kLargestControl, 700},
       {100, 1024, 600},
       {false, kLargestControl, 1024}},
  };
  for (const Case& c : cases) EXPECT_EQ(FitControlSize(c.across, c.down, 1280, 1024), c.expected) << c.what;
}

TEST(ViewPlace, TheTextIsMeasuredAgainAfterMoreThanSomeTyping) {
  const TextMeasure last{10, 16, 500};
  EXPECT_FALSE(NeedsMeasuring(last, 10, 16, 500));
  EXPECT_FALSE(NeedsMeasuring(last, 10, 16, 500 + kTypedBeforeMeasuring)) << "typing on one line";
  EXPECT_FALSE(NeedsMeasuring(last, 10, 16, 500 - kTypedBeforeMeasuring));
  EXPECT_TRUE(NeedsMeasuring(last, 10, 16, 500 + kTypedBeforeMeasuring + 1)) << "a paste within a line";
  EXPECT_TRUE(NeedsMeasuring(last, 10, 16, 500 - kTypedBeforeMeasuring - 1));
  EXPECT_TRUE(NeedsMeasuring(last, 11, 16, 500)) << "a line more";
  EXPECT_TRUE(NeedsMeasuring(last, 10, 18, 500)) << "another font";
  EXPECT_TRUE(NeedsMeasuring(TextMeasure{}, 1, 16, 0)) << "never measured";
}

}  // namespace view_place_test
}  // namespace quillon
