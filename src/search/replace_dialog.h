// The Replace dialog: find text, replacement, options, and Find Next, Replace, Replace All.
#pragma once

#include <windows.h>

namespace quillon {

INT_PTR CALLBACK ReplaceDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Command Search and Replace: the dialog, working on the active document until it is closed.
void ReplaceCommand(HWND frame);

}  // namespace quillon
