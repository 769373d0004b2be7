#include "editor/view_place.h"

#include <algorithm>
#include <cstdlib>

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

long ScrollTarget(ScrollRequest request, long at, long step, const ViewAxis& axis, long to) {
  switch (request) {
    case ScrollRequest::kLineBack:
      return at - step;
    case ScrollRequest::kLineOn:
      return at + step;
    case ScrollRequest::kPageBack:
      return at - std::max(step, axis.visible - step);
    case ScrollRequest::kPageOn:
      return at + std::max(step, axis.visible - step);
    case ScrollRequest::kStart:
      return 0;
    case ScrollRequest::kEnd:
      return LastViewTop(axis);
    case ScrollRequest::kTo:
      return to;
  }
  return at;
}

long WheelTarget(long top, long delta, unsigned lines, bool pagePerNotch, long lineHeight, long visible) {
  const long step = pagePerNotch ? visible : static_cast<long>(lines) * lineHeight;
  return top - delta * step / kWheelNotch;
}

long WheelSidewaysTarget(long left, long delta, unsigned characters, long step) {
  return left + delta * static_cast<long>(characters) * step / kWheelNotch;
}

ControlSize FitControlSize(const ViewAxis& across, const ViewAxis& down, long screenWide, long screenHigh) {
  const auto needed = [](long a, long b, long c) { return std::min(kLargestControl, std::max({a, b, c})); };
  const bool narrow = across.control < needed(across.visible, across.content, screenWide);
  const bool low = down.control < needed(down.visible, screenHigh, 0);
  if (!narrow && !low) return {false, across.control, down.control};
  return {true, narrow ? needed(screenWide, 2 * across.visible, 2 * across.content) : across.control,
          low ? needed(screenHigh, 2 * down.visible, 0) : down.control};
}

bool NeedsMeasuring(const TextMeasure& last, int lines, long lineHeight, long length) {
  return lines != last.lines || lineHeight != last.lineHeight || std::abs(length - last.length) > kTypedBeforeMeasuring;
}

}  // namespace quillon
