// The gutter left of a document's text: line numbers, the last build's error and warning marks
// (red, orange), breakpoints (a red dot) and the current line (a yellow arrow), which follow their
// lines as the text changes, and the notes other folders give per line (editor.h).
#pragma once

#include <windows.h>

#include <string>

#include "editor/editor.h"

namespace quillon {

struct Document;

// BuildMarks, DebugMarks and RefreshGutters: see editor.h.

// Command Line Numbers: turns the numbers off or on, for every document; the setting is kept.
void ToggleLineNumbers(HWND frame);

// The document window's parts: its gutter width for the current text (fitting the control
// beside it when it changed), the repaint after a change of the text or a scroll, and WM_PAINT.
int FitGutter(HWND window, Document& document);
// Before a new text goes into the control: the gutter takes the width that text needs while the
// control is still cheap to resize.
void FitGutterBeforeText(HWND edit, const std::string& text);
void GutterAfterChange(HWND window, Document& document);
void GutterAfterScroll(HWND window, Document& document, bool scrolled);
void PaintGutter(HWND window);
// WM_LBUTTONDOWN of the document window: a click in the gutter beside a line goes to the hook.
// False when the click was not in the gutter.
bool ClickGutter(HWND window, LPARAM where);

}  // namespace quillon
