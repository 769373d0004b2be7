// The Find dialog: the find text, with the recent ones to pick from, and the search options.
#pragma once

#include <windows.h>

namespace quillon {

INT_PTR CALLBACK FindDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Shows the dialog modally. On OK the text goes to `buffer` (260 bytes) and the options to the
// settings' find flags; 1 after OK, 0 after Cancel.
INT_PTR ShowFindDialog(HWND owner, char* buffer);

}  // namespace quillon
