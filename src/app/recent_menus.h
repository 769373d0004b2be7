// The Recent Files and Recent Projects submenus of the File menu.
#pragma once

#include <windows.h>

namespace quillon {

// Keeps the two submenus of the frame's menu. Called at frame creation, before a maximized
// document can put its system menu in front of the File popup.
void KeepRecentMenus(HWND frame);
// Shows the recent lists in their submenus, newest on top.
void RebuildRecentMenus();

}  // namespace quillon
