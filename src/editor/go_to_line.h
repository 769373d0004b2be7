// Go to Line (Ctrl+G), and showing a line in the middle of a document's view.
#pragma once

#include <windows.h>

namespace quillon {

// Scrolls the zero-based `line` of a text control to the middle of its view and puts the caret
// at its start; with `selectLine` the line's text is selected instead.
void ShowLineCentred(HWND edit, int line, bool selectLine);

// Command Go to Line: asks for a line number (the line count shown) for the active document,
// then puts the caret at the start of that line, centred. Cancel changes nothing.
void GoToLineCommand(HWND frame);

}  // namespace quillon
