// The document's procedure in front of its text control: it routes the control's messages to
// the change recorder (change_recorder.h), the Edit commands and keys (edit_commands.h), the
// view (text_view.h) and the hooks of other folders (editor.h).
#pragma once

#include <windows.h>

namespace quillon {

// Switches the control's own undo history off and routes its text changes through the
// document's history. Call once, right after the control is made.
void AttachEditing(HWND edit);

}  // namespace quillon
