#include "editor/change_recorder.h"

#include <richedit.h>

#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/colouring.h"
#include "editor/document.h"
#include "editor/document_refresh.h"
#include "editor/editor.h"
#include "editor/gutter.h"
#include "editor/text_control.h"
#include "editor/text_model.h"
#include "editor/text_view.h"

namespace quillon {

namespace {

std::string WholeText(HWND edit) { return TextRange(edit, 0, TextLength(edit)); }

// Records the change a message made. `before` is the selection before it; with `atCaret` the
// change is taken to end at the caret (typing, deleting, pasting, replacing the selection) and
// confirmed by the text around it; otherwise, or when that fails, the whole text is compared.
// Under a double-byte code page the caret's position counts characters, not the history's
// bytes: the whole text is compared, and what a key did still joins the typing before it.
void RecordChange(Document& document, TextSelection before, bool atCaret, EditKind kind) {
  HWND edit = document.edit;
  UndoHistory& history = document.model.history;
  try {
    std::optional<Replacement> change;
    const bool doubleByte = DoubleByteCodePage();
    if (atCaret && !doubleByte) {
      long caret = 0, selEnd = 0;
      GetSelection(edit, caret, selEnd);
      change = ChangeAtCaret(history.Text(), TextLength(edit), static_cast<long>(before.start), caret,
                             [edit](long from, long to) { return TextRange(edit, from, to); });
    }
    if (!change) {
      change = ChangeBetween(history.Text(), WholeText(edit));
      // A key under a double-byte code page keeps its kind and the control's selection; any
      // other change takes its own span, in the control's positions.
      if (!(atCaret && doubleByte)) {
        const auto position = [&history, doubleByte](std::size_t byte) {
          return doubleByte ? static_cast<std::size_t>(CharacterOfByte(history.Text(), byte, IsLeadByte)) : byte;
        };
        before = {position(change->start), position(change->start + change->removed)};
        kind = EditKind::kOther;
      }
    }
    const std::string& old = history.Text();
    if (change->start + change->removed <= old.size())
      MarksFollowChange(GetParent(edit), document, old, change->start,
                        std::string_view(old).substr(change->start, change->removed), change->inserted);
    if (!history.Record(change->start, change->removed, change->inserted, before, kind, GetTickCount()))
      DropHistory(document);
  } catch (const std::bad_alloc&) {
    DropHistory(document);
  }
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
  Change before{start, end, LineCount(edit)};
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
  if (document) document->model.change = before;
  if (SendMessageA(edit, EM_GETEVENTMASK, 0, 0) & ENM_CHANGE)
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(edit), EN_CHANGE), reinterpret_cast<LPARAM>(edit));
  RefreshDocument(window, kRefreshCaret);
  // The view goes to the caret now, and the control draws again whole: scrolled after a text
  // that long came in, it left the lines it had not shown before blank until the next scroll.
  if ((document = GetDocument(window))) {
    document->follow |= kFollowCaret;
    FollowTextControl(window);
    InvalidateRect(edit, nullptr, FALSE);
  }
  return 0;
}

}  // namespace

void DropHistory(Document& document) {
  try {
    document.model.history.Reset(WholeText(document.edit));
  } catch (const std::bad_alloc&) {
    document.model.history.Reset(std::string());
  }
}

LRESULT TrackedCall(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, bool atCaret, EditKind kind,
                    ControlCall call) {
  HWND window = GetParent(edit);
  Document* document = GetDocument(window);
  if (!document || document->applyingHistory || document->editDepth > 0) return call(edit, message, wParam, lParam);
  TextSelection before;
  if (atCaret) {
    if (!HistoryFitsControl(document->model.history, TextByteLength(edit))) DropHistory(*document);
    long start = 0, end = 0;
    GetSelection(edit, start, end);
    before = {static_cast<std::size_t>(start), static_cast<std::size_t>(end)};
    document->model.change.selStart = start;  // the colour pass starts where the change does
    document->model.change.selEnd = end;
  }
  document->model.change.exact = atCaret;
  const unsigned changes = document->changeCount;
  ++document->editDepth;
  const LRESULT result = call(edit, message, wParam, lParam);
  document = GetDocument(window);  // a message may have closed the window
  if (!document) return result;
  --document->editDepth;
  document->model.change.exact = false;
  if (document->changeCount != changes) {
    RecordChange(*document, before, atCaret, kind);
    NotifyTextChanged(window);
  }
  return result;
}

LRESULT TrackedReplace(HWND edit, WPARAM wParam, LPARAM lParam, EditKind kind) {
  return TrackedCall(edit, EM_REPLACESEL, wParam, lParam, true, kind,
                     GoesInColoured(lParam) ? InsertColoured : CallTextControl);
}

void ReplaceSelection(HWND edit, const std::string& text, EditKind kind) {
  TrackedReplace(edit, TRUE, reinterpret_cast<LPARAM>(text.c_str()), kind);
}

bool ApplyStep(HWND window, bool redo) {
  Document* document = GetDocument(window);
  if (!document || !document->edit) return false;
  HWND edit = document->edit;
  UndoHistory& history = document->model.history;
  if (!HistoryFitsControl(history, TextByteLength(edit))) {
    DropHistory(*document);
    return false;
  }
  std::vector<TextEdit> changes;
  TextSelection selection;
  std::string shown = history.Text();  // the text as each change finds it, for the marks
  if (!(redo ? history.Redo(changes, selection) : history.Undo(changes, selection))) return false;
  // A text the control held before must fit again, whatever its limit is now.
  EnsureTextLimit(edit, static_cast<long>(history.Text().size()), 0);
  // A step of many changes (Replace All) shows the busy pointer while it is made.
  const bool many = changes.size() > 1;
  const HCURSOR previous = many ? SetCursor(LoadCursorA(nullptr, IDC_WAIT)) : nullptr;
  std::optional<ScopedRedrawOff> quiet;
  if (many) quiet.emplace(edit);
  bool fits = true;
  const bool doubleByte = DoubleByteCodePage();
  for (const TextEdit& change : changes) {
    // The control's positions of the change's bytes in the text as the change finds it.
    long start = static_cast<long>(change.start), end = start + static_cast<long>(change.removed.size());
    if (doubleByte) {
      start = CharacterOfByte(shown, change.start, IsLeadByte);
      end = CharacterOfByte(shown, change.start + change.removed.size(), IsLeadByte);
    }
    if (TextRange(edit, start, end) != change.removed) {
      fits = false;
      break;
    }
    document->applyingHistory = true;
    document->model.change.selStart = start;  // the colour pass starts at the change
    document->model.change.selEnd = end;
    document->model.change.exact = true;  // the caret ends after the step's text
    SetSelection(edit, start, end);
    SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(change.inserted.c_str()));
    document = GetDocument(window);
    if (!document) return false;
    document->applyingHistory = false;
    MarksFollowChange(window, *document, shown, change.start, change.removed, change.inserted);
    shown.replace(change.start, change.removed.size(), change.inserted);
    NotifyTextChanged(window);
    document = GetDocument(window);  // a listener may have closed the window
    if (!document) return false;
  }
  quiet.reset();
  if (many) InvalidateRect(window, nullptr, TRUE);  // the gutter
  if (previous) SetCursor(previous);
  // A NUL byte stops the control's copy short: the history then no longer fits the text.
  if (!fits || !HistoryFitsControl(document->model.history, TextByteLength(edit))) {
    DropHistory(*document);
    return false;
  }
  // Undo gives back the selection as the control had it; Redo's caret is a byte offset.
  if (redo && doubleByte)
    selection = {static_cast<std::size_t>(CharacterOfByte(history.Text(), selection.start, IsLeadByte)),
                 static_cast<std::size_t>(CharacterOfByte(history.Text(), selection.end, IsLeadByte))};
  SetSelection(edit, static_cast<long>(selection.start), static_cast<long>(selection.end));
  RefreshDocument(window, kRefreshSavedState | kRefreshCaretState);
  return true;
}

}  // namespace quillon
