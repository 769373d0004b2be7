// The main frame window and the registration of the program's window classes.
#pragma once

#include <windows.h>

namespace quillon {

// Registers the frame class and, only when that succeeded, the document class.
bool RegisterWindowClasses(HINSTANCE instance);
// Creates and shows the frame window; null when it cannot be created.
HWND CreateFrameWindow(HINSTANCE instance, int showCommand);

}  // namespace quillon
