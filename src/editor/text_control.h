// The operations of the rich-text control that the editor uses, in one place.
// Positions are zero-based character offsets; a line break counts as one character.
#pragma once

#include <windows.h>

#include <string>

namespace quillon {

inline constexpr int kEditControlId = 101;

// Creates the control of a document window with the class chosen at start-up; null without one.
HWND CreateTextControl(HWND parent);

// Replaces the whole text with `text` (see file_format.h), read as 8-bit text. Notifications
// are off while reading.
void StreamTextIn(HWND edit, const std::string& text);
// The whole text as 8-bit text, line breaks as CR LF. False when the control reported an error.
bool StreamTextOut(HWND edit, std::string& text);

long TextLength(HWND edit);
long TextLimit(HWND edit);
void SetTextLimit(HWND edit, long characters);
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
