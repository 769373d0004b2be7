#include "editor/text_model.h"

#include <algorithm>

#include "editor/syntax_colours.h"

namespace quillon {

long FollowSelection(SelectionTrack& track, long start, long end) {
  long caret = end;
  if (start == end)
    track.anchor = start;
  else if (end == track.end && start != track.start)
    caret = start;  // the start moved while the end stayed: the caret is at the start
  else if (start != track.start && track.anchor == end)
    caret = start;  // turned over its anchor
  track.start = start;
  track.end = end;
  return caret;
}

WordSpan WordAround(std::string_view text, std::size_t position) {
  if (position > text.size()) position = text.size();
  std::size_t start = position, end = position;
  while (start > 0 && IsWordCharacter(text[start - 1])) --start;
  while (end < text.size() && IsWordCharacter(text[end])) ++end;
  return {start, end};
}

TextLines::TextLines(std::string_view text) {
  starts_.push_back(0);
  for (std::size_t at = text.find('\r'); at != std::string_view::npos; at = text.find('\r', at + 1))
    starts_.push_back(static_cast<long>(at + 1));
}

int TextLines::LineOf(long position) const {
  if (position < 0) return -1;
  return static_cast<int>(std::upper_bound(starts_.begin(), starts_.end(), position) - starts_.begin()) - 1;
}

long TextLines::StartOf(int line) const {
  return line >= 0 && line < Count() ? starts_[static_cast<std::size_t>(line)] : -1;
}

const TextLines& TextModel::Lines() const {
  if (linesVersion_ != history.Version()) {
    lines_ = TextLines(history.Text());
    linesVersion_ = history.Version();
  }
  return lines_;
}

bool OvertypeCanTake(unsigned long typed) { return typed >= 0x20 && typed != 0x7F; }

bool OvertypeTakesNext(unsigned long typed, bool selectionEmpty, std::string_view next) {
  return OvertypeCanTake(typed) && selectionEmpty && !next.empty() && next[0] != '\r' && next[0] != '\n';
}

std::vector<LinesToColour> ChooseLinesToColour(const Change& change, long start, long end, int lineCount,
                                               const std::function<int(long)>& lineOf) {
  if (change.linesBetweenColoured) {  // only the lines the change joined to the text around it
    const int firstLine = lineOf(std::min(change.selStart, start));
    const int lastLine = lineOf(end);  // the text ends at the caret
    std::vector<LinesToColour> lines;
    if (!change.firstLineColoured) lines.push_back({firstLine, firstLine});
    if (lastLine != firstLine && !change.lastLineColoured) lines.push_back({lastLine, lastLine});
    return lines;
  }
  // An exact change ends at the caret: the end of the old selection counts no more (a deleted
  // block of lines would otherwise colour as many lines after it).
  const long from = std::min(change.selStart, start), to = change.exact ? end : std::max(change.selEnd, end);
  const int caretLine = lineOf(start);
  const int first = std::min(lineOf(from), caretLine - std::max(0, lineCount - change.lineCount));
  const int last = std::max(lineOf(to), caretLine);
  // Only the line of a one-line change is cut short; pasted lines are coloured whole.
  if (first == last) return {{first, first, from, to}};
  return {{first, last}};
}

std::optional<Replacement> ChangeAtCaret(std::string_view old, long newLength, long beforeStart, long caret,
                                         const std::function<std::string(long, long)>& newRange) {
  const long oldLength = static_cast<long>(old.size());
  const long start = std::min(beforeStart, caret);
  const long removedEnd = oldLength - newLength + caret;
  if (start < 0 || removedEnd < start || removedEnd > oldLength || caret > newLength) return std::nullopt;
  const long from = std::max(0L, start - kConfirmSpan), to = std::min(newLength, caret + kConfirmSpan);
  const std::string seen = newRange(from, to);
  const auto s = [](long n) { return static_cast<std::size_t>(n); };
  if (static_cast<long>(seen.size()) != to - from ||
      old.substr(s(from), s(start - from)) != std::string_view(seen).substr(0, s(start - from)) ||
      old.substr(s(removedEnd), s(to - caret)) != std::string_view(seen).substr(s(caret - from)))
    return std::nullopt;
  return Replacement{s(start), s(removedEnd - start), seen.substr(s(start - from), s(caret - start))};
}

namespace {

std::size_t CharacterSize(std::string_view text, std::size_t at, LeadByteTest isLead) {
  return isLead(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
}

}  // namespace

long CharacterWalker::CharacterOf(std::size_t offset, bool* exact) {
  if (offset < byte_) byte_ = 0, character_ = 0;
  while (byte_ < text_.size()) {
    const std::size_t size = CharacterSize(text_, byte_, isLead_);
    if (byte_ + size > offset) break;
    byte_ += size;
    ++character_;
  }
  if (exact) *exact = byte_ == offset || (byte_ >= text_.size() && offset >= text_.size());
  return character_;
}

long CharacterOfByte(std::string_view text, std::size_t offset, LeadByteTest isLead, bool* exact) {
  return CharacterWalker(text, isLead).CharacterOf(offset, exact);
}

std::size_t ByteOfCharacter(std::string_view text, long character, LeadByteTest isLead) {
  std::size_t i = 0;
  for (long n = 0; n < character && i < text.size(); ++n) i += CharacterSize(text, i, isLead);
  return i;
}

bool HistoryFitsControl(const UndoHistory& history, long controlBytes) {
  return controlBytes >= 0 && static_cast<std::size_t>(controlBytes) == history.Text().size();
}

Replacement ChangeBetween(std::string_view old, std::string_view now) {
  std::size_t prefix = 0;
  while (prefix < old.size() && prefix < now.size() && old[prefix] == now[prefix]) ++prefix;
  std::size_t suffix = 0;
  while (suffix < old.size() - prefix && suffix < now.size() - prefix &&
         old[old.size() - 1 - suffix] == now[now.size() - 1 - suffix])
    ++suffix;
  return {prefix, old.size() - prefix - suffix, std::string(now.substr(prefix, now.size() - prefix - suffix))};
}

}  // namespace quillon
