// The Edit commands on a document's text, the keys that run them (key_table.h), the paste of
// plain text, and the text's right-click menu.
#pragma once

#include <windows.h>

namespace quillon {

struct Document;

// The Edit commands on a document window (IDM_EDIT_UNDO ... IDM_EDIT_SELECTALL). False when
// `command` is none of them or there is no text control.
bool RunEditCommand(HWND window, int command);
// Enables the Edit commands in `menu` by the state of the document window (null: none).
void EnableEditCommands(HMENU menu, HWND window);
// WM_KEYDOWN of a key the document takes before the control. True when the key was taken.
bool TakeKey(HWND edit, Document& document, WPARAM key);
// WM_PASTE: the clipboard's plain text, coloured as the document's own, never another
// program's fonts and colours.
LRESULT PastePlainText(HWND edit, Document& document, WPARAM wParam, LPARAM lParam);
// WM_CONTEXTMENU of the text.
void ShowTextMenu(HWND edit, LPARAM where);

}  // namespace quillon
