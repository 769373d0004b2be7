// Keyword colours in a document's text control. The colours are formatting only: they never
// change the text, and they are never saved.
#pragma once

#include <windows.h>

#include <string>

#include "editor/text_model.h"

namespace quillon {

// The colour of a keyword in the keyword table; 0 (black) for a null, empty or unknown word.
COLORREF GetKeywordColour(const char* word);

// Fills the still-empty control with `text`, coloured, in the control's current font and tab stops. Every
// CR LF, lone CR and lone LF becomes one line break. Leaves nothing to undo and raises no
// change notification. False when the control did not take the text.
bool PutColouredText(HWND edit, const std::string& text);

// Replaces the selection with `text` (line breaks of any style) coloured, in the control's font
// and tab stops, as one piece, and leaves the caret after it; raises no change notification.
// True when the lines inside the text came coloured: only its first and last line, joined to
// the text around the selection, are left to colour. False when the text went in plain.
bool ReplaceSelectionColoured(HWND edit, const std::string& text);

// Colours lines first..last (clamped to the text) by the keyword table, setting a colour only
// where it differs, and keeps the selection and the view. With a changed range given, the lines
// are taken as correctly coloured before that change, and runs that cannot have changed are
// passed over.
void ColourLines(HWND edit, int first, int last, long changeFrom = -1, long changeTo = -1);

// The colour pass after a change of the text: the lines from the selection before the change to
// the selection now, and at least as many lines above the caret as the change added (a paste
// after a selection made without a key or mouse event). Undo and redo are changes like any
// other: colour is not in their history. Updates `before` for the next. With an exact `before`
// and the whole text from before the change, a change within one line colours only the
// characters whose colour it changes.
void ColourChangedLines(HWND edit, Change& before, const std::string* textBefore = nullptr);

}  // namespace quillon
