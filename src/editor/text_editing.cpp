#include "editor/text_editing.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "editor/caret_and_font.h"
#include "editor/colouring.h"
#include "editor/document.h"
#include "editor/document_window.h"
#include "editor/editor.h"
#include "editor/line_edits.h"
#include "editor/text_control.h"
#include "editor/text_view.h"
#include "resource.h"
#include "ui/app_state.h"

namespace quillon {

namespace {

// The control's own procedure, the same for every document's text (one class). Kept here, not
// in a window property: under Wine each property read is a trip to the server (about 60 us),
// and every message to the text would pay it.
WNDPROC g_originalProcedure = nullptr;
// Characters compared on each side of a change to confirm where it lies.
constexpr long kConfirmSpan = 64;
constexpr int kOutdentWidth = 8;

bool KeyDown(int key) { return GetKeyState(key) < 0; }

std::string WholeText(HWND edit) { return TextRange(edit, 0, TextLength(edit)); }

// The history no longer describes the text: it starts again from the text as it is, so that it
// is never applied to a text it does not describe.
void DropHistory(Document& document) {
  try {
    document.history.Reset(WholeText(document.edit));
  } catch (const std::bad_alloc&) {
    document.history.Reset(std::string());
  }
}

// Records the change a message made. `before` is the selection before it; with `atCaret` the
// change is taken to end at the caret (typing, deleting, pasting, replacing the selection) and
// confirmed by the text around it; otherwise, or when that fails, the whole text is compared.
void RecordChange(Document& document, TextSelection before, bool atCaret, EditKind kind) {
  HWND edit = document.edit;
  UndoHistory& history = document.history;
  try {
    const std::string& old = history.Text();
    const long oldLength = static_cast<long>(old.size());
    const long newLength = TextLength(edit);
    long caret = 0, selEnd = 0;
    GetSelection(edit, caret, selEnd);
    if (atCaret) {
      const long start = std::min(static_cast<long>(before.start), caret);
      const long removedEnd = oldLength - newLength + caret;
      if (start >= 0 && removedEnd >= start && removedEnd <= oldLength && caret <= newLength) {
        const long from = std::max(0L, start - kConfirmSpan), to = std::min(newLength, caret + kConfirmSpan);
        const std::string seen = TextRange(edit, from, to);
        const auto s = [](long n) { return static_cast<std::size_t>(n); };
        if (static_cast<long>(seen.size()) == to - from &&
            seen.compare(0, s(start - from), old, s(from), s(start - from)) == 0 &&
            seen.compare(s(caret - from), std::string::npos, old, s(removedEnd), s(to - caret)) == 0) {
          const std::string inserted = seen.substr(s(start - from), s(caret - start));
          if (!history.Record(s(start), s(removedEnd - start), inserted, before, kind, GetTickCount())) {
            DropHistory(document);
          }
          return;
        }
      }
    }
    const std::string now = WholeText(edit);
    std::size_t prefix = 0;
    while (prefix < old.size() && prefix < now.size() && old[prefix] == now[prefix]) ++prefix;
    std::size_t suffix = 0;
    while (suffix < old.size() - prefix && suffix < now.size() - prefix &&
           old[old.size() - 1 - suffix] == now[now.size() - 1 - suffix])
      ++suffix;
    const std::size_t removed = old.size() - prefix - suffix;
    if (!history.Record(prefix, removed, now.substr(prefix, now.size() - prefix - suffix), {prefix, prefix + removed},
                        EditKind::kOther, GetTickCount()))
      DropHistory(document);
  } catch (const std::bad_alloc&) {
    DropHistory(document);
  }
}

LRESULT CallOriginal(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  return g_originalProcedure ? CallWindowProcA(g_originalProcedure, edit, message, wParam, lParam)
                             : DefWindowProcA(edit, message, wParam, lParam);
}

using Procedure = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

// Passes a message to the control (or to `call`) and records the change of text it makes, if any.
LRESULT TrackedCall(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, bool atCaret, EditKind kind,
                    Procedure call = CallOriginal) {
  HWND window = GetParent(edit);
  Document* document = GetDocument(window);
  if (!document || document->applyingHistory || document->editDepth > 0) return call(edit, message, wParam, lParam);
  TextSelection before;
  if (atCaret) {
    if (TextLength(edit) != static_cast<long>(document->history.Text().size())) DropHistory(*document);
    long start = 0, end = 0;
    GetSelection(edit, start, end);
    before = {static_cast<std::size_t>(start), static_cast<std::size_t>(end)};
    document->beforeChange.selStart = start;  // the colour pass starts where the change does
    document->beforeChange.selEnd = end;
  }
  document->beforeChange.exact = atCaret;
  const unsigned changes = document->changeCount;
  ++document->editDepth;
  const LRESULT result = call(edit, message, wParam, lParam);
  document = GetDocument(window);  // a message may have closed the window
  if (!document) return result;
  --document->editDepth;
  document->beforeChange.exact = false;
  if (document->changeCount != changes) RecordChange(*document, before, atCaret, kind);
  return result;
}

bool g_insertingColoured = false;

// A text of two lines or more goes in coloured, in one piece: colouring it run by run afterwards
// costs a 1,000-line paste about a second under Wine, ten times the paste itself.
bool GoesInColoured(LPARAM lParam) {
  if (g_insertingColoured || !lParam) return false;
  const char* text = reinterpret_cast<const char*>(lParam);
  int breaks = 0;
  for (const char* c = text; *c && breaks < 2; ++c)
    if (*c == '\n' || (*c == '\r' && c[1] != '\n')) ++breaks;
  return breaks >= 2;
}

// EM_REPLACESEL of a text of many lines: the text goes in coloured, and the document hears of
// one change, whose first and last lines are left to colour.
LRESULT InsertColoured(HWND edit, UINT, WPARAM, LPARAM lParam) {
  long start = 0, end = 0;
  GetSelection(edit, start, end);
  BeforeChange before{start, end, LineCount(edit)};
  // Whole lines put in at a line's start: the lines at both ends come whole and coloured too.
  const auto atLineStart = [edit](long at) { return at == 0 || TextRange(edit, at - 1, at) == "\r"; };
  const std::string text = reinterpret_cast<const char*>(lParam);
  const bool endsWithBreak = !text.empty() && (text.back() == '\n' || text.back() == '\r');
  const bool fromLineStart = atLineStart(start), toLineStart = atLineStart(end);
  g_insertingColoured = true;
  before.linesBetweenColoured = ReplaceSelectionColoured(edit, text);
  g_insertingColoured = false;
  before.firstLineColoured = before.linesBetweenColoured && fromLineStart;
  before.lastLineColoured = before.linesBetweenColoured && endsWithBreak && toLineStart;
  HWND window = GetParent(edit);
  Document* document = GetDocument(window);
  if (document) document->beforeChange = before;
  if (SendMessageA(edit, EM_GETEVENTMASK, 0, 0) & ENM_CHANGE)
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(edit), EN_CHANGE), reinterpret_cast<LPARAM>(edit));
  if (GetDocument(window) && window == g_app.activeDocument) ShowCaretLineAndColumn(window);
  return 0;
}

// A paste past the text limit would be cut short without a word: the limit grows to hold it,
// with the usual room to type on, as it does for a file that is opened.
void MakeRoomFor(Document& document, const std::string& text) {
  long start = 0, end = 0;
  GetSelection(document.edit, start, end);
  const long long after =
      static_cast<long long>(TextLength(document.edit)) - (end - start) + static_cast<long long>(text.size());
  const long long needed = after + static_cast<long long>(kDefaultTextLimitKb) * 1024;
  if (after <= TextLimit(document.edit) || needed > 0x7FFFFFFE) return;
  SetTextLimit(document.edit, static_cast<long>(needed));
  document.textLimitKb = static_cast<int>((needed + 1023) / 1024);
}

// The clipboard's text; false when it holds none or cannot be opened.
bool ClipboardText(HWND owner, std::string& text) {
  if (!IsClipboardFormatAvailable(CF_TEXT) || !OpenClipboard(owner)) return false;
  bool ok = false;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const char* chars = static_cast<const char*>(GlobalLock(data))) {
      try {
        text.assign(chars, strnlen(chars, GlobalSize(data)));
        ok = true;
      } catch (const std::bad_alloc&) {
        ok = false;
      }
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return ok;
}

// EM_REPLACESEL as one recorded change; a text of many lines goes in coloured.
LRESULT TrackedReplace(HWND edit, WPARAM wParam, LPARAM lParam, EditKind kind) {
  return TrackedCall(edit, EM_REPLACESEL, wParam, lParam, true, kind,
                     GoesInColoured(lParam) ? InsertColoured : CallOriginal);
}

// Replaces the selection with `text` as one recorded change.
void ReplaceSelection(HWND edit, const std::string& text, EditKind kind) {
  TrackedReplace(edit, TRUE, reinterpret_cast<LPARAM>(text.c_str()), kind);
}

// Takes one step back (or forward again). The step is applied only to the text it describes.
bool ApplyStep(HWND window, bool redo) {
  Document* document = GetDocument(window);
  if (!document || !document->edit) return false;
  HWND edit = document->edit;
  UndoHistory& history = document->history;
  if (TextLength(edit) != static_cast<long>(history.Text().size())) {
    DropHistory(*document);
    return false;
  }
  TextEdit change;
  TextSelection selection;
  if (!(redo ? history.Redo(change, selection) : history.Undo(change, selection))) return false;
  const long start = static_cast<long>(change.start), end = start + static_cast<long>(change.removed.size());
  if (TextRange(edit, start, end) != change.removed) {
    DropHistory(*document);
    return false;
  }
  // A text the control held before must fit again, whatever its limit is now.
  const long newLength = static_cast<long>(document->history.Text().size());
  if (newLength > TextLimit(edit)) SetTextLimit(edit, newLength);
  document->applyingHistory = true;
  document->beforeChange.selStart = start;  // the colour pass starts at the change
  document->beforeChange.selEnd = end;
  document->beforeChange.exact = true;  // the caret ends after the step's text
  SetSelection(edit, start, end);
  SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(change.inserted.c_str()));
  document = GetDocument(window);
  if (!document) return false;
  document->applyingHistory = false;
  // A NUL byte stops the control's copy short: the history then no longer fits the text.
  if (TextLength(edit) != static_cast<long>(document->history.Text().size())) DropHistory(*document);
  SetSelection(edit, static_cast<long>(selection.start), static_cast<long>(selection.end));
  SetDocumentChanged(window, !document->history.AtSaved());
  ShowCaretPosition(window);
  return true;
}

// The whole lines the selection touches: [first, end) of the text, without the last break.
void SelectedLines(HWND edit, long& first, long& end) {
  long selStart = 0, selEnd = 0;
  GetSelection(edit, selStart, selEnd);
  const int firstLine = static_cast<int>(SendMessageA(edit, EM_EXLINEFROMCHAR, 0, selStart));
  int lastLine = static_cast<int>(SendMessageA(edit, EM_EXLINEFROMCHAR, 0, selEnd));
  if (selEnd > selStart && lastLine > firstLine && LineIndex(edit, lastLine) == selEnd) --lastLine;
  first = LineIndex(edit, firstLine);
  const long lastStart = LineIndex(edit, lastLine);
  end = lastStart + static_cast<long>(SendMessageA(edit, EM_LINELENGTH, lastStart, 0));
}

bool SpansLines(HWND edit) {
  long selStart = 0, selEnd = 0;
  GetSelection(edit, selStart, selEnd);
  return SendMessageA(edit, EM_EXLINEFROMCHAR, 0, selStart) != SendMessageA(edit, EM_EXLINEFROMCHAR, 0, selEnd);
}

// Replaces the selected lines by `change` of them, as one step, and selects them.
template <typename Change>
void ChangeSelectedLines(HWND edit, Change change) {
  long first = 0, end = 0;
  SelectedLines(edit, first, end);
  const std::string lines = TextRange(edit, first, end);
  const std::string changed = change(lines);
  if (changed == lines) return;
  SetSelection(edit, first, end);
  ReplaceSelection(edit, changed, EditKind::kOther);
  SetSelection(edit, first, first + static_cast<long>(changed.size()));
}

// Enter: a line break and the blanks that start the line it breaks.
void BreakLine(HWND edit) {
  long selStart = 0, selEnd = 0;
  GetSelection(edit, selStart, selEnd);
  const long lineStart = LineIndex(edit, static_cast<int>(SendMessageA(edit, EM_EXLINEFROMCHAR, 0, selStart)));
  ReplaceSelection(edit, "\r" + LeadingBlanks(TextRange(edit, lineStart, selStart)), EditKind::kLineBreak);
}

// The keys the document takes before the control. True when the key was taken.
bool TakeKey(HWND edit, Document& document, WPARAM key) {
  document.swallowChar = 0;
  // Each key state is a trip to the server under Wine: only for the keys taken here.
  if (key != 'Z' && key != 'Y' && key != 'Q' && key != 'A' && key != 'C' && key != 'X' && key != 'V' &&
      key != VK_INSERT && key != VK_DELETE && key != VK_TAB && key != VK_RETURN && key != VK_PRIOR && key != VK_NEXT)
    return false;
  const bool control = KeyDown(VK_CONTROL), shift = KeyDown(VK_SHIFT), alt = KeyDown(VK_MENU);
  HWND window = GetParent(edit);
  if (alt) return false;
  if (!control && (key == VK_PRIOR || key == VK_NEXT)) {
    document.history.CloseStep();
    PageTextView(window, key == VK_NEXT);
    return true;
  }
  if (control && (key == 'Z' || key == 'Y')) {
    ApplyStep(window, key == 'Y' || shift);
    return true;
  }
  // The clipboard keys go the way of the Edit menu: the control's own Ctrl+A takes the end of
  // the text too, so that a copy of it ends in one line break more, and its own Ctrl+V would
  // paste another program's fonts and colour the text run by run.
  if (control && !shift && (key == 'A' || key == 'C' || key == 'X' || key == 'V')) {
    RunEditCommand(window, key == 'A'   ? IDM_EDIT_SELECTALL
                           : key == 'C' ? IDM_EDIT_COPY
                           : key == 'X' ? IDM_EDIT_CUT
                                        : IDM_EDIT_PASTE);
    return true;
  }
  // The clipboard keys of old, which not every control takes.
  if (key == VK_INSERT && (shift != control)) {
    SendMessageA(edit, shift ? WM_PASTE : WM_COPY, 0, 0);
    return true;
  }
  if (key == VK_DELETE && shift && !control) {
    SendMessageA(edit, WM_CUT, 0, 0);
    return true;
  }
  if (control && key == 'Q') {
    ChangeSelectedLines(edit, ToggleLineComments);
    return true;
  }
  if (!control && key == VK_TAB && SpansLines(edit)) {
    if (shift)
      ChangeSelectedLines(edit, [](const std::string& lines) { return OutdentLines(lines, kOutdentWidth); });
    else
      ChangeSelectedLines(edit, IndentLines);
    document.swallowChar = '\t';
    return true;
  }
  if (!control && key == VK_RETURN && !(GetWindowLongA(edit, GWL_STYLE) & ES_READONLY)) {
    BreakLine(edit);
    document.swallowChar = '\r';
    return true;
  }
  return false;
}

void ShowTextMenu(HWND edit, LPARAM where) {
  HWND window = GetParent(edit);
  HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TEXTMENU));
  if (!menu) return;
  HMENU popup = GetSubMenu(menu, 0);
  POINT at{static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where))};
  if (where == static_cast<LPARAM>(-1)) {  // from the keyboard: at the caret
    long start = 0, end = 0;
    GetSelection(edit, start, end);
    SendMessageA(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), end);
    ClientToScreen(edit, &at);
  }
  EnableEditCommands(popup, window);
  const int command = static_cast<int>(
      TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, window, nullptr));
  DestroyMenu(menu);
  // Commands of other menus (Go to Definition) go to the frame.
  if (command && !RunEditCommand(window, command) && g_app.mdiClient)
    SendMessageA(GetParent(g_app.mdiClient), WM_COMMAND, static_cast<WPARAM>(command), 0);
}

// The mouse over the text, for the hover hook; it hears again when the mouse leaves.
void HoverOverText(HWND edit, LPARAM where) {
  TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, edit, 0};
  TrackMouseEvent(&track);
  POINT screen{static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where))};
  ClientToScreen(edit, &screen);
  HWND window = GetParent(edit);
  EditorHooks().textHover(window, PositionAtScreenPoint(window, screen), screen);
}

LRESULT EditMessage(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  Document* document = GetDocument(GetParent(edit));
  if (!document || document->edit != edit) return CallOriginal(edit, message, wParam, lParam);
  switch (message) {
    // The view, not the control, says what shows (text_view.h).
    case EM_GETFIRSTVISIBLELINE:
      return FirstShownLine(GetParent(edit));
    case EM_LINESCROLL:
      ScrollShownLines(GetParent(edit), static_cast<int>(wParam), static_cast<int>(lParam));
      return TRUE;
    case EM_GETRECT:
      if (lParam) *reinterpret_cast<RECT*>(lParam) = ShownTextRect(GetParent(edit));
      return 0;
    case EM_SCROLLCARET:
      document->follow |= kFollowCaret;
      return CallOriginal(edit, message, wParam, lParam);
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
      TurnWheel(GetParent(edit), wParam, message == WM_MOUSEHWHEEL);
      return 0;
    case EM_UNDO:
    case WM_UNDO:
      return ApplyStep(GetParent(edit), false);
    case EM_REDO:
      return ApplyStep(GetParent(edit), true);
    case EM_CANUNDO:
      return document->history.CanUndo();
    case EM_CANREDO:
      return document->history.CanRedo();
    case EM_EMPTYUNDOBUFFER:  // a new text: the history starts from it
      CallOriginal(edit, message, wParam, lParam);
      DropHistory(*document);
      return 0;
    case WM_CONTEXTMENU:
      ShowTextMenu(edit, lParam);
      return 0;
    case WM_LBUTTONDOWN:
      document->history.CloseStep();
      break;
    case WM_MOUSELEAVE:
      if (EditorHooks().textHover) EditorHooks().textHover(GetParent(edit), -1, POINT{});
      break;
    case WM_MOUSEMOVE:
      if (!(wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) && EditorHooks().textHover) HoverOverText(edit, lParam);
      if (wParam & MK_LBUTTON) {  // a text dragged and dropped inside the move is recorded too
        const LRESULT result = TrackedCall(edit, message, wParam, lParam, false, EditKind::kOther);
        DragOverText(GetParent(edit), lParam);
        return result;
      }
      break;
    case WM_KEYDOWN:
      if (TakeKey(edit, *document, wParam)) return 0;
      switch (wParam) {
        case VK_BACK:
          return TrackedCall(edit, message, wParam, lParam, true, EditKind::kBackspace);
        case VK_DELETE:
          return TrackedCall(edit, message, wParam, lParam, true, EditKind::kDelete);
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
        case VK_HOME:
        case VK_END:
        case VK_PRIOR:
        case VK_NEXT:
          document->history.CloseStep();
          break;
        default:
          break;
      }
      return TrackedCall(edit, message, wParam, lParam, true, EditKind::kOther);
    case WM_CHAR: {
      const char swallow = document->swallowChar;
      document->swallowChar = 0;
      if (swallow && static_cast<char>(wParam) == swallow) return 0;
      if (wParam < ' ' && wParam != '\t' && wParam != '\r') return 0;  // Ctrl+Z, Ctrl+Y, Ctrl+Q...
      return TrackedCall(edit, message, wParam, lParam, true, wParam == '\r' ? EditKind::kLineBreak : EditKind::kTyped);
    }
    case WM_PASTE: {
      // The clipboard's plain text, coloured as the document's own: never another program's
      // fonts and colours.
      if (GetWindowLongA(edit, GWL_STYLE) & ES_READONLY) return 0;
      std::string text;
      if (!ClipboardText(edit, text)) return TrackedCall(edit, message, wParam, lParam, true, EditKind::kOther);
      MakeRoomFor(*document, text);
      ReplaceSelection(edit, text, EditKind::kOther);
      return 0;
    }
    case EM_REPLACESEL:
      return TrackedReplace(edit, wParam, lParam, EditKind::kOther);
    case WM_CUT:
    case WM_CLEAR:
      return TrackedCall(edit, message, wParam, lParam, true, EditKind::kOther);
    default:
      break;
  }
  // Anything else that changes the text (a drop, input methods) is found by comparing.
  return TrackedCall(edit, message, wParam, lParam, false, EditKind::kOther);
}

int g_messageDepth = 0;

LRESULT CALLBACK EditingProcedure(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCDESTROY) {  // the last message: the control's own procedure takes it
    if (!g_originalProcedure) return DefWindowProcA(edit, message, wParam, lParam);
    SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_originalProcedure));
    return CallWindowProcA(g_originalProcedure, edit, message, wParam, lParam);
  }
  ++g_messageDepth;
  const LRESULT result = EditMessage(edit, message, wParam, lParam);
  // The view follows the caret and the control's scrolling once the control is done, never
  // while it is at work.
  if (g_messageDepth == 1)
    if (Document* document = GetDocument(GetParent(edit)); document && document->edit == edit && document->follow)
      FollowTextControl(GetParent(edit));
  --g_messageDepth;
  return result;
}

}  // namespace

void AttachEditing(HWND edit) {
  if (!edit) return;
  const auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(edit, GWLP_WNDPROC));
  if (original == &EditingProcedure) return;                           // already attached
  if (g_originalProcedure && original != g_originalProcedure) return;  // another class keeps its own undo
  g_originalProcedure = original;
  SendMessageA(edit, EM_SETUNDOLIMIT, 0, 0);
  SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditingProcedure));
  if (Document* document = GetDocument(GetParent(edit))) DropHistory(*document);
}

bool RunEditCommand(HWND window, int command) {
  Document* document = GetDocument(window);
  if (!document || !document->edit) return false;
  HWND edit = document->edit;
  switch (command) {
    case IDM_EDIT_UNDO:
      ApplyStep(window, false);
      break;
    case IDM_EDIT_REDO:
      ApplyStep(window, true);
      break;
    case IDM_EDIT_CUT:
      SendMessageA(edit, WM_CUT, 0, 0);
      break;
    case IDM_EDIT_COPY:
      SendMessageA(edit, WM_COPY, 0, 0);
      break;
    case IDM_EDIT_PASTE:
      SendMessageA(edit, WM_PASTE, 0, 0);
      break;
    case IDM_EDIT_DELETE:
      SendMessageA(edit, WM_CLEAR, 0, 0);
      break;
    case IDM_EDIT_SELECTALL:
      SetSelection(edit, 0, -1);
      break;
    default:
      return false;
  }
  ShowCaretPosition(window);
  return true;
}

void EnableEditCommands(HMENU menu, HWND window) {
  if (!menu) return;
  Document* document = GetDocument(window);
  HWND edit = document ? document->edit : nullptr;
  long start = 0, end = 0;
  if (edit) GetSelection(edit, start, end);
  const bool selected = end > start;
  const struct {
    int command;
    bool enabled;
  } items[] = {
      {IDM_EDIT_UNDO, edit && document->history.CanUndo()},
      {IDM_EDIT_REDO, edit && document->history.CanRedo()},
      {IDM_EDIT_CUT, selected},
      {IDM_EDIT_COPY, selected},
      {IDM_EDIT_PASTE, edit && SendMessageA(edit, EM_CANPASTE, 0, 0) != 0},
      {IDM_EDIT_DELETE, selected},
      {IDM_EDIT_SELECTALL, edit && TextLength(edit) > 0},
  };
  for (const auto& item : items)
    EnableMenuItem(menu, static_cast<UINT>(item.command), MF_BYCOMMAND | (item.enabled ? MF_ENABLED : MF_GRAYED));
}

}  // namespace quillon
