// The editor as the other folders see it. The document record (document.h) is the editor's own;
// everything else goes through these functions, which take a document window (an MDI child of the
// frame) and do nothing, or give false, empty, null or -1, for any other window.
//
// Positions are zero-based character offsets into DocumentText(), where each line break is one
// character ("\r"), as the text control counts them; lines are zero-based.
//
//   The document:  IsDocumentWindow, DocumentPath, DocumentBaseName, DocumentModified,
//                  DocumentTextControl (for the text_control.h operations), DocumentText,
//                  DocumentSelection, DocumentCaret, DocumentLineOf, DocumentLineStart.
//   Changing it:   ReplaceDocumentRange(s): one undo step, recoloured, marks kept in step.
//   Showing it:    SelectDocumentRange, PutCaretAtLine, ShowDocumentLine (centred).
//   The screen:    CaretScreenPoint (a completion list), PositionAtScreenPoint (hover tips);
//                  the word at a position is WordAround (text_model.h) of DocumentText().
//   Marks:         BuildMarks() and DebugMarks() (line_marks.h: errors, warnings, breakpoints,
//                  the current line) follow their lines as the text changes; RefreshGutters()
//                  after changing them.
//   Hooks:         EditorHooks(): a click in the gutter, the mouse over the text, a change of
//                  the text, and a short note per line in the gutter (an address, a cycle count).
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "editor/line_marks.h"
#include "editor/range_edits.h"

namespace quillon {

bool IsDocumentWindow(HWND window);
// The full path of the document's file; empty for an untitled document.
std::string DocumentPath(HWND window);
// The file name without folder and last extension.
std::string DocumentBaseName(HWND window);
// The text holds changes that are not saved.
bool DocumentModified(HWND window);
// The document's text control, or null when it has none (no rich-text library was loaded).
HWND DocumentTextControl(HWND window);

// The whole text, line breaks as "\r".
std::string DocumentText(HWND window);
// The selection, start <= end. False without a text control.
bool DocumentSelection(HWND window, long& start, long& end);
// Where the caret stands: the selection's end away from where the selection began.
long DocumentCaret(HWND window);
int DocumentLineOf(HWND window, long position);
long DocumentLineStart(HWND window, int line);

// Replaces [start, end) with `text` (line breaks of any style) as one undo step, coloured, with
// the caret after it. False, with nothing changed, without a text control, for a range outside
// the text, for a read-only text, or when the text would grow past the document's limit.
bool ReplaceDocumentRange(HWND window, long start, long end, const std::string& text);
// Several ranges at once (Replace All): each [start, end) of the text as it is now becomes its
// `text`, ascending and not overlapping, as one undo step made range by range (a long text is
// never taken through the control whole; see range_edits.h), with the busy pointer meanwhile.
// False, with nothing changed, for the same reasons as ReplaceDocumentRange.
bool ReplaceDocumentRanges(HWND window, const std::vector<RangeReplacement>& ranges);

// Selects [start, end) with the caret at `end`, brings it into view and gives the text the focus.
void SelectDocumentRange(HWND window, long start, long end);
// The caret at the start of `line`, scrolled into view only when it is not shown.
void PutCaretAtLine(HWND window, int line);
// The line in the middle of the view, the caret at its start; with `selectLine` the line's text
// is selected instead.
void ShowDocumentLine(HWND window, int line, bool selectLine);

// The caret's top left on the screen and the height of its line. False without a text control.
bool CaretScreenPoint(HWND window, POINT& at, int& lineHeight);
// The character under a point on the screen; -1 when the point is not over the text.
long PositionAtScreenPoint(HWND window, POINT screen);

// What the other folders are told of. Each is optional; the editor calls them on its own thread.
// The click and change hooks have any number of listeners, each under its own name: setting a
// name again replaces that listener, so a part of the program may install its hooks more than once
// without calling itself; all are called in the order of their names.
struct EditorHookSet {
  // A left click in the gutter beside `line` (a breakpoint to toggle).
  std::map<std::string, std::function<void(HWND window, int line)>> gutterClick;
  // The mouse moved over the text (no button held) to the character at `position`, with
  // `screen` the mouse's point; `position` -1 when the mouse left the text.
  std::function<void(HWND window, long position, POINT screen)> textHover;
  // The text changed (typing, undo, replace, a file read again).
  std::map<std::string, std::function<void(HWND window)>> textChanged;
  // A short note shown in the gutter before the line number (an address, cycle counts); empty
  // for none. `gutterNoteCharacters` is the room the gutter keeps for it, 0 for no notes.
  std::function<std::string(HWND window, int line)> gutterNote;
  int gutterNoteCharacters = 0;
};
EditorHookSet& EditorHooks();
// Calls every listener of the hook.
void NotifyGutterClick(HWND window, int line);
void NotifyTextChanged(HWND window);

// The marks of the last build (errors and warnings), by file; the output pane fills it.
LineMarks& BuildMarks();
// The debugger's marks (breakpoints, the current line), by file.
LineMarks& DebugMarks();
// After marks, notes or the line-number setting changed: every document's gutter is fitted and
// drawn again.
void RefreshGutters();

}  // namespace quillon
