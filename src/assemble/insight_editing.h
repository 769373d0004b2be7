// What the text of the active document shows of the program while one works in it: a tip over
// the word under the mouse after half a second, the completion list (Ctrl+Space, and by itself
// after three characters of a name), and the selection's instructions and cycles in the status
// bar. It watches the thread's messages as they are taken from the queue, so the text control
// itself is not changed for it.
#pragma once

#include <windows.h>

#include <string>

namespace quillon {

// Starts watching (the frame calls it once it is made) and stops (as it goes).
void StartInsightEditing(HWND frame);
void StopInsightEditing();

// Tools › Addresses and Cycles: beside each instruction line of the texts, its address from the
// last build and its cycles, in the gutter; on or off, the menu item ticked to match.
void ToggleCycleColumn(HWND frame);
bool CycleColumnShown();
// After a build: the gutters show the new addresses.
void RefreshAfterBuild();

// Ctrl+Space: the completion list for the name before the caret.
void CompleteWordCommand(HWND frame);

// For tests and the frame: the tip shown now (empty when none) and the completion list's window
// (null when closed).
std::string ShownTip();
HWND CompletionList();

}  // namespace quillon
