// The record of one document window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "editor/document_file.h"
#include "editor/text_model.h"

namespace quillon {

inline constexpr int kDefaultTextLimitKb = 200;

struct Document {
  HWND edit = nullptr;   // the text control, or none when no rich-text library was loaded
  std::string path;      // full path of the file; empty for "untitled"
  std::string baseName;  // file name without folder and last extension
  bool modified = false;
  int textLimitKb = kDefaultTextLimitKb;
  bool insertMode = true;   // false: overwrite
  FileState file;           // the file's format and its stamp when last read or written
  FileStamp declinedStamp;  // a change on disk the user chose not to load
  // The gutter left of the text (line numbers, build marks).
  int gutterWidth = 20;
  int gutterLines = 1;  // the line count it was fitted to
  int gutterFirst = 0;  // the first visible line it shows
  // Editing (text_editing.h): the text, its undo history (the control keeps none) and the
  // change under way.
  TextModel model;
  unsigned changeCount = 0;      // changes of the text the control reported
  int editDepth = 0;             // > 0 while a message to the control is being recorded
  bool applyingHistory = false;  // an undo or redo is changing the text
  char swallowChar = 0;          // the character of a key the document took
  // The view of the text (text_view.h): the control keeps one size and moves in the window.
  long shiftX = 0, shiftY = 0;           // how far the control is moved out past the left and top edges
  long shownWidth = 0, shownHeight = 0;  // the part of the window that showed text
  int follow = 0;                        // what the view follows once the control is done (kFollow...)
  int charWidth = 8;                     // of the editor font, in pixels
  long lineHeight = 16;                  // the last measured
  long textHeight = 0;                   // measured at `measuredLines` lines of `measuredLineHeight`
  long widestColumns = 0;                // the widest line, counted at the same time in `measuredLength` characters
  int measuredLines = -1;
  long measuredLineHeight = 0;
  long measuredLength = 0;
  SelectionTrack selection;  // the selection the view last followed, and its anchor
  // The model's lines stand for the control's (document_lines.h) when they were as many in the
  // text of the model's version `linesChecked`.
  std::uint64_t linesChecked = ~std::uint64_t{0};
  bool linesInStep = false;
};

// The record of a document window; null for any other window or one that is gone.
Document* GetDocument(HWND window);
// The record of the active document, or null.
Document* ActiveDocument();

// Sets `path` (a full path, or empty) and derives `baseName` from it.
void SetDocumentPath(Document& document, const std::string& path);

}  // namespace quillon
