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

ControlRange PlainWrapRange(bool down, long textLength) {
  if (down) return {0, -1};
  return {textLength, 0};
}

TextSpan RegexSearchRange(const SelectionState& selection, const LastMatch& last, long textLength) {
  if (SearchesInsideSelection(selection, last)) return {selection.start, selection.end};
  long start = selection.end < textLength ? selection.end : textLength;
  return {start, textLength};
}

namespace {

bool IsSymbolCharacter(char ch) {
  const auto c = static_cast<unsigned char>(ch);
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '@' ||
         c == '.' || c == '$';
}

}  // namespace

std::string InitialFindText(const std::string& line, long selStart, long selEnd) {
  const long size = static_cast<long>(line.size());
  if (selStart < 0 || selStart > size) return std::string();
  if (selEnd > selStart) return selEnd <= size ? line.substr(selStart, selEnd - selStart) : std::string();
  long start = selStart, end = selStart;
  while (start > 0 && IsSymbolCharacter(line[start - 1])) --start;
  while (end < size && IsSymbolCharacter(line[end])) ++end;
  return line.substr(start, end - start);
}

}  // namespace quillon
