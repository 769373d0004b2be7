// Where a search looks, worked out from the selection. No windows here: positions are the
// control's character positions, a line break counting as one.
#pragma once

#include <cstdint>
#include <string>

namespace quillon {

// The option bits of a search.
inline constexpr std::uint32_t kFindDown = 0x1;
inline constexpr std::uint32_t kFindWholeWord = 0x2;
inline constexpr std::uint32_t kFindMatchCase = 0x4;
inline constexpr std::uint32_t kFindRegex = 0x20000;
inline constexpr std::uint32_t kFindAllDocuments = 0x40000;
// Replace All only within the selection (the Replace dialog's box).
inline constexpr std::uint32_t kFindInSelection = 0x80000;
// The bits the control's own find understands.
inline constexpr std::uint32_t kFindControlBits = kFindDown | kFindWholeWord | kFindMatchCase;

struct SelectionState {
  long start = 0;
  long end = 0;
  int startLine = 0;
  int endLine = 0;
};

// The match the engine selected last, in one document.
struct LastMatch {
  bool valid = false;
  long start = 0;
  long end = 0;
};

// True when the search limits itself to the selection: it spans lines and is not simply the
// match selected last (which would make every Find Next find that match again).
bool SearchesInsideSelection(const SelectionState& selection, const LastMatch& last);

// Range for the control's find. Down: from cpMin onwards (cpMax -1 = to the end) or up to
// cpMax. Up: backwards from cpMin down to cpMax, so cpMin >= cpMax.
struct ControlRange {
  long cpMin = 0;
  long cpMax = 0;
};
ControlRange PlainSearchRange(const SelectionState& selection, const LastMatch& last, bool down);

// Range for the search that goes round after nothing was found to the end (up: to the start):
// the whole text from the other end.
ControlRange PlainWrapRange(bool down, long textLength);

// Range for a regular expression, which always searches forwards: [start, end).
struct TextSpan {
  long start = 0;
  long end = 0;
};
TextSpan RegexSearchRange(const SelectionState& selection, const LastMatch& last, long textLength);

// The text the Find and Replace dialogs start with: the selection when it lies within `line`
// (columns [selStart, selEnd)), else the word the caret (selStart) stands in or just after: a
// run of letters, digits and "_", "@", ".", "$" (symbol names such as PRINT.FLS or @@loop).
// Empty when there is none.
std::string InitialFindText(const std::string& line, long selStart, long selEnd);

}  // namespace quillon
