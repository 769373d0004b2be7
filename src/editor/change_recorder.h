// The change recorder: each message that changes the text of a document's control becomes one
// change of the document's text model (its history and the Change the colours read).
#pragma once

#include <windows.h>

#include <string>

#include "editor/text_control.h"
#include "editor/undo_history.h"

namespace quillon {

struct Document;

// The history no longer describes the text: it starts again from the text as it is, so that it
// is never applied to a text it does not describe.
void DropHistory(Document& document);

// A message's way to the control: its own procedure, or one that puts text in coloured.
using ControlCall = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
// Passes a message to the control (through `call`) and records the change of text it makes, if
// any: with `atCaret` the change is taken to end at the caret and confirmed by the text around it.
LRESULT TrackedCall(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, bool atCaret, EditKind kind,
                    ControlCall call = CallTextControl);
// EM_REPLACESEL as one recorded change; a text of many lines goes in coloured.
LRESULT TrackedReplace(HWND edit, WPARAM wParam, LPARAM lParam, EditKind kind);
// Replaces the selection with `text` as one recorded change.
void ReplaceSelection(HWND edit, const std::string& text, EditKind kind);
// Takes one step back (or forward again). The step is applied only to the text it describes.
bool ApplyStep(HWND window, bool redo);

}  // namespace quillon
