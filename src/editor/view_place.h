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
// Columns of the text's widest line, tabs taken to stops every `tabWidth` columns.
std::size_t WidestLineColumns(std::string_view text, int tabWidth);

}  // namespace quillon
