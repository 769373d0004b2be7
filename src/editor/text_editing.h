// Editing in a document's text control: the document's own undo history (the control keeps
// none, so colour never enters it), the Edit commands, auto-indent, indenting and commenting
// selected lines, and the text's right-click menu.
#pragma once

#include <windows.h>

namespace quillon {

// Switches the control's own undo history off and routes its text changes through the
// document's history. Call once, right after the control is made.
void AttachEditing(HWND edit);

// The Edit commands on a document window (IDM_EDIT_UNDO ... IDM_EDIT_SELECTALL). False when
// `command` is none of them or there is no text control.
bool RunEditCommand(HWND window, int command);
// Enables the Edit commands in `menu` by the state of the document window (null: none).
void EnableEditCommands(HMENU menu, HWND window);

}  // namespace quillon
