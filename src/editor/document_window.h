// Document windows: MDI children that hold one source file each (document_window.cpp), and the
// File commands on them (file_commands.cpp).
#pragma once

#include <windows.h>

#include <string>

namespace quillon {

// Extra bytes of each document window; the first pointer-sized slot holds its document.
inline constexpr int kDocumentWindowExtraBytes = 304;

// Registers the document window class. False when it cannot be registered.
bool RegisterDocumentClass(HINSTANCE instance);

// Command New: an untitled document.
void NewDocument(HWND mdiClient);
// Command Open: choose a source or include file and show it.
void OpenDocument(HWND mdiClient);
// Marks the document window's text changed or not (title, Save), as undo and redo find it.
void SetDocumentChanged(HWND window, bool modified);

// Command Save. A file that cannot be written is reported; the document stays modified.
// True when the text was written.
bool SaveDocument(HWND window);
// Command Save As. True when a name was chosen and the text written.
bool SaveDocumentAs(HWND window);
// Command Save All: every document, then the project. False when something was not saved.
bool SaveAllDocuments(HWND mdiClient);
// Asks to save a changed document before it closes (Yes / No / Cancel). Text is discarded only
// when the user says so. False on Cancel: the document stays open and changed, and whatever asked
// stops.
bool AskToSaveDocument(HWND window);
// Asks, for each changed document (the active one first), whether to save it; closes none. False
// at the first Cancel, with the rest not asked.
bool AskToSaveEveryDocument(HWND mdiClient);
// Soon looks whether the active document's file changed on disk: an unchanged document is
// loaded again; a changed one asks first.
void CheckActiveDocumentFile();
// Closes every document window after asking for each changed one, the active one first. A Cancel
// closes none; false then.
bool CloseAllDocuments(HWND mdiClient);

// Shows the file in a document window (the one that already shows it, or a new one), then
// scrolls the zero-based line to the top with the caret at its start (-1: no line).
// True when a document shows the file afterwards.
bool OpenDocumentAtLine(const std::string& path, int line);

// Reads a document's file again when it has no unsaved changes. False, with the text kept, when the
// document has changes or no file, or the file cannot be read.
bool ReloadUnmodifiedDocument(HWND window);

}  // namespace quillon
