// Reading a file into a document's text control and writing it back safely, byte for byte.
#pragma once

#include <windows.h>

#include <string>

#include "base/file_io.h"
#include "editor/disk_change.h"
#include "editor/file_format.h"

namespace quillon {

// The file as it was read or last written.
struct FileState {
  FileFormat format;
  FileStamp stamp;
};

// The files the reader and writer use (null: the system's). For tests.
void SetDocumentFiles(FileSystem* files);

// The stamp of the file on disk now; not known when it cannot be read.
FileStamp StampOfFile(const std::string& path);

// Replaces the text with the file's contents (see file_format.h) and fills `state`. The
// control's limit grows to fit a large file. On failure shows "Unable to open file." (caption:
// the path), leaves the text and `state` as they were, and returns false: a text the control
// took only in part is replaced by the one it showed before.
bool ReadDocumentFile(HWND edit, const std::string& path, FileState& state);
// Writes the whole text to `path` in the format of `state` through a temporary file in the same
// folder, which replaces the old file only when complete; the old file's attributes are kept.
// On success `state.stamp` is the new file's. False (and nothing changed on disk) when it cannot
// be written: no control, a read-only file, no room, no rights.
bool WriteDocumentFile(HWND edit, const std::string& path, FileState& state);

}  // namespace quillon
