// Where a document's text shows in its window (no platform calls).
//
// The text control keeps one size: under Wine every change of its size lays its whole text out
// again, seconds for a large text. The document window shows part of the control and keeps the
// scroll bars. Along each direction, what shows at the window's edge (the view's top, or its
// left) is the control's own scroll position plus how far the control is moved out past that
// edge, its shift.
#pragma once

#include <cstddef>
#include <string_view>

namespace quillon {

// One direction, in pixels.
struct ViewAxis {
  long content = 0;  // the text's extent
  long control = 0;  // the control's extent; never less than `visible`
  long visible = 0;  // what the window shows
};

struct ViewPlace {
  long scroll = 0;  // the control's own scroll position
  long shift = 0;   // how far the control is moved out past the window's edge
};

// The furthest the view's top goes: the text's end at the window's far edge.
long LastViewTop(const ViewAxis& axis);
// The scroll and shift that show the text from `top`, kept within 0 .. LastViewTop. The control
// scrolls as far as it can, the shift makes up the rest.
ViewPlace PlaceView(const ViewAxis& axis, long top);
// The shift that shows the text from `top` once the control scrolled to `scrolled` (it may stop
// short of what was asked), kept within what the control's size allows.
long ShiftFor(const ViewAxis& axis, long top, long scrolled);
// The view's top after it follows [from, to) (the caret, in text pixels): unchanged when that
// shows already, else the nearest top that shows it; its start when it is longer than the view.
long TopShowing(long top, long visible, long from, long to);
// A request of a scroll bar, and where the view's top (or left) goes for it from `at`, with
// lines (or characters) `step` pixels apart; `to` is the thumb's place for kTo. A page keeps one
// line of the old view in the new.
enum class ScrollRequest { kLineBack, kLineOn, kPageBack, kPageOn, kStart, kEnd, kTo };
long ScrollTarget(ScrollRequest request, long at, long step, const ViewAxis& axis, long to = 0);

// One notch of the mouse wheel in the platform's units (positive: away from the user).
inline constexpr long kWheelNotch = 120;
// The view's top after a turn of `delta`, `lines` lines of `lineHeight` a notch, or a page of
// `visible` a notch; sideways, `lines` characters of `step` a notch, further right for a turn away.
long WheelTarget(long top, long delta, unsigned lines, bool pagePerNotch, long lineHeight, long visible);
long WheelSidewaysTarget(long left, long delta, unsigned characters, long step);

// The control's size: it grows when the window shows more than it holds or a line is wider than
// it, to at least the screen and twice what is needed, never past kLargestControl (a line wider
// than that the control scrolls itself). Otherwise it keeps its size: each change lays the text
// out again.
inline constexpr long kLargestControl = 30000;
struct ControlSize {
  bool grows = false;
  long width = 0, height = 0;
  bool operator==(const ControlSize&) const = default;
};
ControlSize FitControlSize(const ViewAxis& across, const ViewAxis& down, long screenWide, long screenHigh);

// The text's size as last measured, and whether it must be measured again: another line count or
// line height, or more than some typing's worth of characters more or fewer.
inline constexpr long kTypedBeforeMeasuring = 64;
struct TextMeasure {
  int lines = -1;
  long lineHeight = 0;
  long length = 0;
};
bool NeedsMeasuring(const TextMeasure& last, int lines, long lineHeight, long length);

// Columns of the text's widest line, tabs taken to stops every `tabWidth` columns.
std::size_t WidestLineColumns(std::string_view text, int tabWidth);

}  // namespace quillon
