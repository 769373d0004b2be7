// The Replace dialog: find text, replacement, options, and Find Next, Replace, Replace All.
#pragma once

#include <windows.h>

namespace quillon {

struct SearchState;

// Command Search and Replace: the dialog, working on the active document until it is closed.
// The find text and the replacement are taken into `search` at each button.
void ReplaceCommand(HWND frame, SearchState& search);

}  // namespace quillon
