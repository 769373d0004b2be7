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
// WM_SIZE of the frame (size type, client width and height).
void FrameSizeChanged(HWND frame, WPARAM sizeType, int width, int height);
// Places the MDI client beside the file pane and above the output pane.
void FitMdiClient(int width, int height);
// Re-fits the panes after the output pane was shown, hidden or resized.
void FitFilePane(int height);
// The same, for the frame's current client height.
void RefitPanes();
// The next frame size change is the first layout (a new frame).
void ResetFirstLayout();
// Command 40043: Esc (an accelerator) hides the output pane; the menu item shows or hides it.
void ToggleOutputPane(HWND frame, bool fromAccelerator);
// Enables or greys Save in the menu and on the toolbar.
void SetSaveEnabled(bool on);
// Greys Build and Run while a build runs and Stop Build while none does, in the menu and on the
// toolbar.
void UpdateBuildCommands();
// The status bar's six part edges for a frame client width.
void SetStatusParts(int width);
// The width of the status bar's "Ln, Col" part: its longest text in the bar's font at the DPI in
// use, at least 100 pixels at 100 %.
int CaretPartWidth();

// Help-string offsets of the menu popups, by position in the menu bar (0 = none).
inline constexpr int kMenuHelpOffsets[] = {50, 0, 51, 52, 0, 0, 53, 54, 55};

}  // namespace quillon
