// The document's text as the editor knows it, apart from the control that shows it (no windows):
// the text, where its lines start, its undo history, and the record of one change on its way
// from the control to the colours, the marks and the history.
//
// Positions count characters of the text, each line break ("\r") one character.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/undo_history.h"

namespace quillon {

// Which end of a selection the caret is at. The control reports only [start, end); the caret is
// the end away from where the selection began, its anchor (where it was last empty).
struct SelectionTrack {
  long start = 0, end = 0;  // the selection last followed
  long anchor = 0;          // where the selection was last empty
};
// The caret of the selection [start, end) that followed `track`, and `track` brought up to it.
long FollowSelection(SelectionTrack& track, long start, long end);

// The word (IsWordCharacter runs) at or just before `position`: [start, end); empty (start ==
// end == position) when there is none.
struct WordSpan {
  std::size_t start = 0, end = 0;
  bool operator==(const WordSpan&) const = default;
};
WordSpan WordAround(std::string_view text, std::size_t position);

// Overtype: whether a typed character (WM_CHAR's code) takes the place of `next`, the character
// after the caret (empty at the text's end): a character that is typed, not Enter, Tab, Backspace
// or another control key, with nothing selected, never in place of a line break.
bool OvertypeCanTake(unsigned long typed);
bool OvertypeTakesNext(unsigned long typed, bool selectionEmpty, std::string_view next);

// One change of the text on its way from the control to the history and the colours: where it
// began, and how its text came in. Set before a message reaches the control, read when the
// control reports the change.
struct Change {
  long selStart = 0;  // the selection before it (at the latest key or mouse event, or the span replaced)
  long selEnd = 0;
  int lineCount = 1;   // the text's lines before it
  bool exact = false;  // the selection right before a change that replaces it and leaves the caret after it
  bool linesBetweenColoured = false;  // the text came coloured but for its first and last line
  bool firstLineColoured = false;     // ... and its first line is one of them, whole
  bool lastLineColoured = false;      // ... and the line after it came through untouched
};

// Where the lines of a text start, as the text control counts them: line 0 at 0, and a line
// after each line break, so a text that ends with a break ends with an empty line.
class TextLines {
 public:
  explicit TextLines(std::string_view text = {});
  int Count() const { return static_cast<int>(starts_.size()); }
  // The line that holds `position` (its line break belongs to it); past the end, the last line.
  // -1 for a negative position.
  int LineOf(long position) const;
  // Where `line` starts; -1 for a line the text does not have.
  long StartOf(int line) const;

 private:
  std::vector<long> starts_;
};

// The document's text as the editor keeps it apart from the control: the history holds the text
// (Text()), and `change` is the change on its way from the control to the history and colours.
struct TextModel {
  UndoHistory history;
  Change change;
  const std::string& Text() const { return history.Text(); }
  // The lines of Text(), counted again after it changed.
  const TextLines& Lines() const;

 private:
  mutable TextLines lines_;
  mutable std::uint64_t linesVersion_ = 0;  // the history's version they were counted in
};

// Under a double-byte code page the control counts a lead byte and the byte after it as one
// character, while the history and the searches count bytes. `isLead` tells a lead byte.
using LeadByteTest = bool (*)(unsigned char);
// The control's position of byte `offset` of `text`: the character it is in (past the end: the
// text's length). `exact` (when given) tells whether a character starts there.
long CharacterOfByte(std::string_view text, std::size_t offset, LeadByteTest isLead, bool* exact = nullptr);
// The byte offset of the control's position `character` in `text` (past the end: its size).
std::size_t ByteOfCharacter(std::string_view text, long character, LeadByteTest isLead);
// CharacterOfByte for offsets asked in rising order, in one pass over the text for them all
// (Replace All converts every match so); an offset below the last one asked starts again from
// the text's start. The text must outlive the walker and stay as it is.
class CharacterWalker {
 public:
  CharacterWalker(std::string_view text, LeadByteTest isLead) : text_(text), isLead_(isLead) {}
  long CharacterOf(std::size_t offset, bool* exact = nullptr);

 private:
  std::string_view text_;
  LeadByteTest isLead_;
  std::size_t byte_ = 0;  // where the character `character_` starts
  long character_ = 0;
};

// Whether `history` still describes the control's text, which holds `controlBytes` bytes of 8-bit
// text: the history holds bytes, so bytes are compared, never the control's character count
// (fewer under a double-byte code page).
bool HistoryFitsControl(const UndoHistory& history, long controlBytes);

// A stretch of lines to colour: lines first..last (clamped to the text later), and for a single
// line the changed span [from, to) when only it can have changed colour (-1: the whole lines).
struct LinesToColour {
  int first = 0, last = 0;
  long from = -1, to = -1;
  bool operator==(const LinesToColour&) const = default;
};
// The lines to colour after `change`, with [start, end) the selection now and `lineCount` the
// lines now; `lineOf` gives the line of a position in the text now. The lines from the change's
// start to the caret, and at least as many above the caret as the change added (a paste after a
// selection made without a key or mouse event); for a text that came coloured, only the lines it
// joined to the text around it.
std::vector<LinesToColour> ChooseLinesToColour(const Change& change, long start, long end, int lineCount,
                                               const std::function<int(long)>& lineOf);

// A replacement found by comparing texts: [start, start + removed) of the old text became `inserted`.
struct Replacement {
  std::size_t start = 0;
  std::size_t removed = 0;
  std::string inserted;
  bool operator==(const Replacement&) const = default;
};
// Characters compared on each side of a change at the caret to confirm where it lies.
inline constexpr long kConfirmSpan = 64;
// The change that ends at the caret (typing, deleting, pasting, replacing the selection) of a
// text that was `old` and is now `newLength` long, with `beforeStart` the selection's start
// before the change; confirmed by up to kConfirmSpan characters of the new text on each side,
// which `newRange(from, to)` reads. None when the text around it does not agree.
std::optional<Replacement> ChangeAtCaret(std::string_view old, long newLength, long beforeStart, long caret,
                                         const std::function<std::string(long, long)>& newRange);
// The smallest replacement that makes `old` into `now`: the common start and end kept.
Replacement ChangeBetween(std::string_view old, std::string_view now);

}  // namespace quillon
