// The record of one document window.
#pragma once

#include <windows.h>

#include <string>

#include "editor/colouring.h"
#include "editor/document_file.h"

namespace quillon {

inline constexpr int kDefaultTextLimitKb = 200;

struct Document {
  HWND edit = nullptr;   // the text control, or none when no rich-text library was loaded
  std::string path;      // full path of the file; empty for "untitled"
  std::string baseName;  // file name without folder and last extension
  bool modified = false;
  int textLimitKb = kDefaultTextLimitKb;
  bool insertMode = true;     // false: overwrite
  BeforeChange beforeChange;  // where the next change of the text begins, for its colours
  FileState file;             // the file's format and its stamp when last read or written
  FileStamp declinedStamp;    // a change on disk the user chose not to load
  // The gutter left of the text (line numbers, build marks).
  int gutterWidth = 20;
  int gutterLines = 1;  // the line count it was fitted to
  int gutterFirst = 0;  // the first visible line it shows
};

// The record of a document window; null for any other window or one that is gone.
Document* GetDocument(HWND window);
// The record of the active document, or null.
Document* ActiveDocument();

// Sets `path` (a full path, or empty) and derives `baseName` from it.
void SetDocumentPath(Document& document, const std::string& path);

}  // namespace quillon
