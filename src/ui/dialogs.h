// The About box, the IDE Options dialog and the centring that every dialog uses.
#pragma once

#include <windows.h>

namespace quillon {

// The modal About box with the version text and the links to the maker.
void ShowAbout(HWND owner);
// The modal IDE Options dialog, where the assembler's path is set. 1 after OK, 0 after Cancel.
int ShowIdeOptions(HWND owner);

// Moves `window`, keeping its size, so that its centre is the screen's centre.
void CentreOnScreen(HWND window);
// Moves `window`, keeping its size and z-order, so that its centre is the centre of `other`.
void CentreOver(HWND window, HWND other);

}  // namespace quillon
