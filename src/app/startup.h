// The program's start, message loop and end.
#pragma once

#include <windows.h>

namespace quillon {

// Initialises the common controls and loads the rich-text library; returns its module (or none).
HMODULE LoadLibrariesForWindows();
// Runs the message loop until the quit message arrives.
void RunMessageLoop(HWND frame, HACCEL accelerators);
// The whole run, from opening the error log to closing it. Returns the exit code, 0.
int RunQuillon(HINSTANCE instance, int showCommand);

}  // namespace quillon
