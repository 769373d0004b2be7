#include "editor/view_place.h"

#include <algorithm>

namespace quillon {

long LastViewTop(const ViewAxis& axis) { return std::max(0L, axis.content - axis.visible); }

long ShiftFor(const ViewAxis& axis, long top, long scrolled) {
  return std::clamp(top - scrolled, 0L, std::max(0L, axis.control - axis.visible));
}

ViewPlace PlaceView(const ViewAxis& axis, long top) {
  top = std::clamp(top, 0L, LastViewTop(axis));
  const long scroll = std::min(top, std::max(0L, axis.content - axis.control));
  return {scroll, ShiftFor(axis, top, scroll)};
}

long TopShowing(long top, long visible, long from, long to) {
  if (from < top || to - from > visible) return from;
  if (to > top + visible) return to - visible;
  return top;
}

std::size_t WidestLineColumns(std::string_view text, int tabWidth) {
  const std::size_t stop = tabWidth > 0 ? static_cast<std::size_t>(tabWidth) : 1;
  std::size_t widest = 0, column = 0;
  for (char c : text) {
    if (c == '\r' || c == '\n') {
      widest = std::max(widest, column);
      column = 0;
    } else if (c == '\t') {
      column = (column / stop + 1) * stop;
    } else {
      ++column;
    }
  }
  return std::max(widest, column);
}

}  // namespace quillon
