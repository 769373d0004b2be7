// Reading a file into a document's text control and writing it back safely.
#pragma once

#include <windows.h>

#include <string>

namespace quillon {

// Replaces the text with the file's contents. The control's limit grows to fit a large file.
// On failure shows "Unable to open file." (caption: the path) and returns false.
bool ReadDocumentFile(HWND edit, const std::string& path);
// Writes the whole text to `path` through a temporary file in the same folder, which replaces
// the old file only when complete. False (and nothing changed on disk) when it cannot be
// written: no control, a read-only file, no room, no rights.
bool WriteDocumentFile(HWND edit, const std::string& path);

}  // namespace quillon
