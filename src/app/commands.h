// The frame's command table: every menu item, toolbar button and accelerator.
#pragma once

#include <windows.h>

namespace quillon {

// Runs the command in the low word of wParam. True when the command counts as handled.
bool RunCommand(HWND frame, WPARAM wParam);

}  // namespace quillon
