// The caret position and key states in the status bar, and the editor font chooser.
#pragma once

#include <windows.h>

#include <string>

namespace quillon {

// Shows " Ln %d, Col %d" of the selection's end (tabs counted to their stops), "CAP",
// "INS"/"OVR", "NUM" and the line-end style in status bar parts 1 to 5 for a document window. A part is set only when
// its text changes. For a window without a document (none active) the caret and mode parts are empty.
void ShowCaretPosition(HWND window);
// Part 1 only, after the caret moved: the key states and line ends stay as they are.
void ShowCaretLineAndColumn(HWND window);

// The face documents show: the stored face when installed, else a fixed-pitch one (see
// text_columns.h).
std::string EditorFontFace();
// Sets the editor font (face, size, effects from the settings) and the tab stops, every "Tab
// Width" characters of that font, on all text of the control.
void SetEditorFont(HWND edit);
// The same for every open document.
void ApplyEditorFont();

// The Font command: the chooser starts from the active document's font; the chosen face and
// size go to the settings and to every open document. Cancel changes nothing.
void ChooseEditorFont(HWND mdiClient);

}  // namespace quillon
