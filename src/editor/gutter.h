// The gutter left of a document's text: line numbers and the last build's error and warning
// marks (red, orange), which follow their lines as the text changes.
#pragma once

#include <windows.h>

#include <string>

#include "editor/line_marks.h"

namespace quillon {

struct Document;

// The marks of the last build, by file; the output pane fills it.
LineMarks& BuildMarks();

// After the marks or the line-number setting changed: every document's gutter is fitted and
// drawn again.
void RefreshGutters();
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

}  // namespace quillon
