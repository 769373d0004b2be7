// The frame's toolbar, status bar, menu help, Save enabling and pane placement.
#pragma once

#include <windows.h>

namespace quillon {

// Creates the toolbar along the top of the frame and stores it in the application state.
HWND CreateToolbar(HWND frame);
// Builds the table that pairs the menu popups with their help-string offsets.
void SetupMenuHelp(HMENU menu);
// WM_MENUSELECT: shows the help string of the highlighted item in the status bar.
void ShowMenuHelp(HWND frame, WPARAM wParam, LPARAM lParam);
// WM_SIZE of the frame (client width and height).
void FrameSizeChanged(HWND frame, int width, int height);
// Enables or greys Save in the menu and on the toolbar.
void EnableSave(bool on);
// The status bar's five part edges for a frame client width.
void SetStatusParts(int width);

// Help-string offsets of the menu popups, by position in the menu bar (0 = none).
inline constexpr int kMenuHelpOffsets[] = {50, 0, 51, 52, 53, 54, 55};

}  // namespace quillon
