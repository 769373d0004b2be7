// One way for the parts of a document window (the view, the gutter, the caret's place in the
// status bar, the change recorder) to say what they changed, instead of calling each other: the
// document window brings the other parts up to it.
#pragma once

#include <windows.h>

namespace quillon {

enum Refresh : unsigned {
  kRefreshLayout = 1,       // the gutter's width or the lines' height changed: the view is placed again
  kRefreshFollow = 2,       // the view follows the caret in the control, and the scroll bars the view
  kRefreshGutter = 4,       // the view moved: the gutter is drawn again
  kRefreshCaret = 8,        // the caret moved: its line and column, for the active document
  kRefreshCaretState = 16,  // ... and the key states and line ends (Undo, Redo, Save)
  kRefreshSavedState = 32,  // the history may have come back to the saved text, or left it
};

// Brings the parts of the document window up to `what` (Refresh bits), in the order the bits
// are listed. Nothing for a window without a document.
void RefreshDocument(HWND window, unsigned what);

}  // namespace quillon
