#include "search/search_range.h"

namespace quillon {

bool SearchesInsideSelection(const SelectionState& selection, const LastMatch& last) {
  if (selection.startLine == selection.endLine) return false;
  return !(last.valid && last.start == selection.start && last.end == selection.end);
}

ControlRange PlainSearchRange(const SelectionState& selection, const LastMatch& last, bool down) {
  if (SearchesInsideSelection(selection, last)) {
    // Backwards the control wants the range from its far end to its near end.
    if (down) return {selection.start, selection.end};
    return {selection.end, selection.start};
  }
  if (down) return {selection.end, -1};
  return {selection.start, 0};
}

TextSpan RegexSearchRange(const SelectionState& selection, const LastMatch& last, long textLength) {
  if (SearchesInsideSelection(selection, last)) return {selection.start, selection.end};
  long start = selection.end < textLength ? selection.end : textLength;
  return {start, textLength};
}

}  // namespace quillon
