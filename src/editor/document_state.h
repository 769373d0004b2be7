// What the document window (document_window.cpp) and the File commands on it (file_commands.cpp)
// share: the state the window shows of its document (title, changed or not), the windows that
// show a file, and the look at the file on disk when the window becomes active.
#pragma once

#include <windows.h>

#include <string>

#include "editor/disk_change.h"

namespace quillon {

struct Document;

// Posted to a document window that became active: look whether its file changed on disk.
inline constexpr UINT kCheckFileMessage = WM_USER + 1;

// "path", "path*", "untitled" or "untitled*"; a title too long for the window shows its end.
void SetDocumentTitle(HWND window, const Document& document);
// The document is changed or not: Save follows the active document; not changed marks the
// history's saved text.
void SetDocumentModified(HWND window, bool modified);
// The document window that shows the file at `fullPath`, or null.
HWND WindowShowing(const std::string& fullPath);

// When the file changed on disk: an unchanged document follows it; a changed one asks first
// (file_commands.cpp). Never while a box of ours is up: the check comes again with the next
// activation.
void CheckFileOnDisk(HWND window);

}  // namespace quillon
