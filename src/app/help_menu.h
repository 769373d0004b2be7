// The Help menu: the user guide beside the program and the list of keyboard shortcuts.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/shortcuts.h"

namespace quillon {

// The guide's file name, looked for in the program's folder.
inline constexpr const char* kGuideFileName = "GUIDE.html";

// Opens `folder`\GUIDE.html with the system's browser; says so in a box when the file is not
// there or cannot be opened.
void OpenUserGuide(HWND owner, const std::string& folder);

// The shortcuts of an accelerator table, named after their menu items, in menu order (keys of
// commands that have no menu item last, named "(command <id>)" unless the program knows them).
std::vector<ShortcutRow> CollectShortcuts(HACCEL accelerators, HMENU menu);

// Shows the program's shortcuts (its accelerator resource, named from the frame's menu).
void ShowKeyboardShortcuts(HWND frame);

}  // namespace quillon
