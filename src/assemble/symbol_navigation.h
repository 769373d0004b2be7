// Go to Definition (F12), Go Back (Alt+Left, Ctrl+-) and Go to Symbol (Ctrl+Shift+O): the
// symbol index built on demand from the open documents and the files on disk.
#pragma once

#include <windows.h>

#include <string>

#include "assemble/symbol_index.h"

namespace quillon {

// The texts the index reads: an open document's text (saved or not), else the file's.
bool ReadProjectSource(const std::string& path, std::string& text);

// The index of the project's sources (or of the active document and its includes). It is read
// again only when asked with `fresh` and the open documents, the active one or the project
// changed since it was read: Go to Definition, Go to Symbol, Find All References, Rename and
// Ctrl+Space ask so, and so does the text when it rests 1.5 s after a key; tips and the
// completion that opens by itself take it as it is (it is never read again on a keystroke).
const SymbolIndex& ProjectIndex(bool fresh);

// The name at the caret of the active document, with the document and the caret's line (from
// 1); empty when there is none.
std::string NameAtCaret(std::string* file = nullptr, int* line = nullptr);

// Opens the definition of the name at the caret of the active document, remembering where the
// caret was. A status-bar note when there is no name there or no definition of it.
void GoToDefinitionCommand(HWND frame);

// Returns to the place the last Go to Definition or Go to Symbol left.
void GoBackCommand(HWND frame);

// Lists every definition of the project (or of the active document and its includes), filtered
// as the user types; Enter opens the chosen one.
void GoToSymbolCommand(HWND frame);

}  // namespace quillon
