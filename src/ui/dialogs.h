// The placing of dialogs that every subsystem uses.
#pragma once

#include <windows.h>

namespace quillon {

// Moves `window`, keeping its size, so that its centre is the screen's centre.
void CentreOnScreen(HWND window);
// Moves `window`, keeping its size and z-order, so that its centre is the centre of `other`.
void CentreOver(HWND window, HWND other);

}  // namespace quillon
