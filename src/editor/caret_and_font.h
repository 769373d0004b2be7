// The caret position and key states in the status bar, and the editor font chooser.
#pragma once

#include <windows.h>

namespace quillon {

// Shows " Ln %d, Col %d" of the selection's end, "CAP", "INS"/"OVR" and "NUM" in status bar
// parts 1 to 4 for a document window. A part is set only when its text changes. Nothing for a
// window without a document.
void ShowCaretPosition(HWND window);

// The Font command: the chooser starts from the active document's font; the chosen face and
// size go to the settings and to every open document. Cancel changes nothing.
void ChooseEditorFont(HWND mdiClient);

}  // namespace quillon
