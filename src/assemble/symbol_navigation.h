// Go to Definition (F12), Go Back (Alt+Left, Ctrl+-) and Go to Symbol (Ctrl+Shift+O): the
// symbol index built on demand from the open documents and the files on disk.
#pragma once

#include <windows.h>

namespace quillon {

// Opens the definition of the name at the caret of the active document, remembering where the
// caret was. A status-bar note when there is no name there or no definition of it.
void GoToDefinitionCommand(HWND frame);

// Returns to the place the last Go to Definition or Go to Symbol left.
void GoBackCommand(HWND frame);

// Lists every definition of the project (or of the active document and its includes), filtered
// as the user types; Enter opens the chosen one.
void GoToSymbolCommand(HWND frame);

}  // namespace quillon
