// The operations of the rich-text control that the editor uses, in one place.
// Positions are zero-based character offsets; a line break counts as one character.
#pragma once

#include <windows.h>

#include <string>

#include "ui/window.h"

namespace quillon {

inline constexpr int kEditControlId = 101;

// The document's procedure in front of the control's own (text_editing.h), the same for every
// document's text; and a message to the control's own procedure, past the document's.
Subclass& TextControlSubclass();
LRESULT CallTextControl(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);

// Creates the control of a document window with the class chosen at start-up; null without one.
HWND CreateTextControl(HWND parent);

// The control's notifications while it lives: those of its mask without `off` (all by default);
// the mask from before comes back at its end. The only place besides the control's creation
// that sets the mask.
class ScopedEventMask {
 public:
  explicit ScopedEventMask(HWND edit, DWORD off = ~DWORD{0});
  ~ScopedEventMask();
  ScopedEventMask(const ScopedEventMask&) = delete;
  ScopedEventMask& operator=(const ScopedEventMask&) = delete;
  // The mask from before: whether the window hears of changes at all.
  DWORD Saved() const { return saved_; }

 private:
  HWND edit_;
  DWORD saved_;
};

// The control draws nothing while it lives (many changes in a row: under Wine each one the
// control draws costs as much as the change itself); at its end it draws itself again whole.
class ScopedRedrawOff {
 public:
  explicit ScopedRedrawOff(HWND edit);
  ~ScopedRedrawOff();
  ScopedRedrawOff(const ScopedRedrawOff&) = delete;
  ScopedRedrawOff& operator=(const ScopedRedrawOff&) = delete;

 private:
  HWND edit_;
};

// The control's notifications when it is made: the document window hears of these.
void SetDocumentEventMask(HWND edit);

// Reads `data` into the control (EM_STREAMIN with `format`: SF_TEXT or SF_RTF, with
// SFF_SELECTION in place of the selection). A block never ends between the CR and LF of a line
// break, which some controls read as two breaks; a text that starts like a byte-order mark comes
// in a first block of one byte, so that the control never decodes one. True when the control
// took all of it without an error.
bool StreamIn(HWND edit, const std::string& data, WPARAM format);
// For tests: the next stream-in stops with an error once `bytes` bytes went in, as a control
// out of memory does half-way.
void FailNextStreamInAfter(std::size_t bytes);
// Replaces the whole text with `text` (see file_format.h), read as 8-bit text. Notifications
// are off while reading.
void StreamTextIn(HWND edit, const std::string& text);
// The whole text as 8-bit text, line breaks as CR LF. False when the control reported an error.
bool StreamTextOut(HWND edit, std::string& text);

long TextLength(HWND edit);
// The text's length in bytes of the 8-bit text, as TextRange reads it (more than TextLength under a
// double-byte code page, where it reads the whole text).
long TextByteLength(HWND edit);
// Whether the program's code page has two-byte characters: the control's positions then count
// characters where the text and the history count bytes (CharacterOfByte converts).
bool DoubleByteCodePage();
// A lead byte of a two-byte character in the program's code page.
bool IsLeadByte(unsigned char c);
long TextLimit(HWND edit);
void SetTextLimit(HWND edit, long characters);
// The room to type on that a text gets beyond its length when the limit grows for it.
inline constexpr long long kTextRoom = 200 * 1024;
// Grows the limit, when it holds fewer than `length` + `room` characters, to that (at most what
// the control can count); never shrinks it. The new limit, or 0 when it did not change.
long EnsureTextLimit(HWND edit, long long length, long long room = kTextRoom);
int LineCount(HWND edit);
long LineIndex(HWND edit, int line);
int FirstVisibleLine(HWND edit);
void ScrollLines(HWND edit, int lines);
// The control's scroll position in pixels. EM_GETSCROLLPOS gives it scaled down to 16 bits once
// the text is taller than 65,535 pixels, while EM_SETSCROLLPOS takes pixels.
POINT ScrollPosition(HWND edit);
void SetScrollPosition(HWND edit, POINT at);
void SetSelection(HWND edit, long start, long end);
void GetSelection(HWND edit, long& start, long& end);
std::string TextRange(HWND edit, long start, long end);
// Sets the face, effects and (when not 0) height in twips of all text.
void SetTextFont(HWND edit, const std::string& face, int effects, int heightTwips);

}  // namespace quillon
