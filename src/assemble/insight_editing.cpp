#include "assemble/insight_editing.h"

#include <commctrl.h>
#include <richedit.h>

#include <cstdlib>
#include <functional>
#include <string_view>
#include <vector>

#include "assemble/cycle_count.h"
#include "assemble/insight_commands.h"
#include "assemble/program_insight.h"
#include "assemble/symbol_navigation.h"
#include "editor/editor.h"
#include "editor/text_control.h"
#include "resource.h"
#include "ui/app_state.h"
#include "ui/reporting.h"

namespace quillon {

namespace {

// Checks made once the message that asked for them has been handled, as thread messages.
constexpr UINT kRefreshCompletion = WM_APP + 0x310;
constexpr UINT kCheckSelection = WM_APP + 0x311;
constexpr UINT kHoverDelay = 500;  // milliseconds the mouse rests before a tip
constexpr int kCompletionRows = 10;
constexpr UINT kIdleDelay = 1500;  // milliseconds after the last key before the index is read again

struct State {
  HHOOK hook = nullptr;
  HWND frame = nullptr;
  // The tip.
  HWND tip = nullptr;
  std::string tipText;
  POINT tipAnchor{};  // where the mouse was, in the text's client coordinates
  UINT_PTR hoverTimer = 0;
  UINT_PTR idleTimer = 0;
  HWND hoverEdit = nullptr;
  POINT hoverPoint{};
  // The completion list.
  HWND list = nullptr;
  HWND listEdit = nullptr;
  long wordStart = 0;
  std::vector<Completion> items;
  bool refreshPosted = false;
  bool autoOpen = false;
  // The selection last summed.
  HWND selectionEdit = nullptr;
  long selectionStart = -1, selectionEnd = -1;
  bool selectionPosted = false;
  bool cyclesShown = false;
  // The gutter's notes of the caret's line and the next, as last seen (typing changes them).
  HWND noteWindow = nullptr;
  int noteLine = -1;
  std::string notes;
};
State g;

HWND ActiveEdit() { return DocumentTextControl(g_app.activeDocument); }

bool g_cycleColumn = false;
std::string NoteOfLine(HWND window, int line);

// With the addresses and cycles shown: when typing changed the notes of the caret's line (or of
// the next, which an SDBD changes), the gutter is drawn again.
void CheckCaretNotes() {
  HWND edit = ActiveEdit();
  if (!g_cycleColumn || !edit) return;
  long start = 0, end = 0;
  GetSelection(edit, start, end);
  const int line = static_cast<int>(SendMessageA(edit, EM_EXLINEFROMCHAR, 0, end));
  const std::string notes = NoteOfLine(g_app.activeDocument, line) + "\n" + NoteOfLine(g_app.activeDocument, line + 1);
  const bool changed = g.noteWindow == g_app.activeDocument && g.noteLine == line && g.notes != notes;
  g.noteWindow = g_app.activeDocument;
  g.noteLine = line;
  g.notes = notes;
  if (changed) RefreshGutters();
}

// The height of the caret's line in the active document.
int LineHeight() {
  POINT at{};
  int height = 0;
  return CaretScreenPoint(g_app.activeDocument, at, height) && height > 0 ? height : 16;
}

void HideTip() {
  if (g.hoverTimer) KillTimer(nullptr, g.hoverTimer);
  g.hoverTimer = 0;
  if (g.tip && !g.tipText.empty()) {
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = g.frame;
    tool.uId = 1;
    SendMessageA(g.tip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
  }
  g.tipText.clear();
}

void ShowTip(HWND edit, POINT at, const std::string& text) {
  TOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
  tool.hwnd = g.frame;
  tool.uId = 1;
  g.tipText = text;
  tool.lpszText = g.tipText.data();
  if (!g.tip) {
    g.tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0,
                            0, g.frame, nullptr, g_app.instance, nullptr);
    if (!g.tip) return;
    SendMessageA(g.tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(g.tip, TTM_SETMAXTIPWIDTH, 0, 640);
  }
  SendMessageA(g.tip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
  POINT screen = at;
  ClientToScreen(edit, &screen);
  SendMessageA(g.tip, TTM_TRACKPOSITION, 0, MAKELPARAM(screen.x + 4, screen.y + 20));
  SendMessageA(g.tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
  g.tipAnchor = at;
}

// The line of `edit` at character `index`: its text, its number (from 0) and where it starts.
std::string LineAt(HWND edit, long index, int& line, long& lineStart) {
  line = static_cast<int>(SendMessageA(edit, EM_EXLINEFROMCHAR, 0, index));
  lineStart = LineIndex(edit, line);
  const long length = static_cast<long>(SendMessageA(edit, EM_LINELENGTH, lineStart, 0));
  return TextRange(edit, lineStart, lineStart + length);
}

void CALLBACK HoverTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (g.hoverTimer) KillTimer(nullptr, g.hoverTimer);
  g.hoverTimer = 0;
  HWND edit = g.hoverEdit;
  if (!edit || edit != ActiveEdit() || g.list) return;
  POINTL point{g.hoverPoint.x, g.hoverPoint.y};
  const long index = static_cast<long>(SendMessageA(edit, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&point)));
  if (index < 0) return;
  int line = 0;
  long lineStart = 0;
  const std::string text = LineAt(edit, index, line, lineStart);
  // The mouse must be on the line, not in the blank after it or below the text.
  POINTL first{}, last{};
  SendMessageA(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&first), lineStart);
  SendMessageA(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&last), lineStart + static_cast<long>(text.size()));
  if (point.y < first.y || point.y >= first.y + LineHeight() || point.x > last.x) return;
  const std::string tip = TipAt(text, static_cast<int>(index - lineStart), DocumentPath(g_app.activeDocument), line + 1,
                                ProjectIndex(false), LastBuildInsight()->facts, ReadProjectSource);
  if (!tip.empty()) ShowTip(edit, g.hoverPoint, tip);
}

// The text rested after keys: the index follows the change (only when something changed).
void CALLBACK IdleTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (g.idleTimer) KillTimer(nullptr, g.idleTimer);
  g.idleTimer = 0;
  if (!g.list) ProjectIndex(true);
}

void RestartIdleTimer() {
  if (g.idleTimer) KillTimer(nullptr, g.idleTimer);
  g.idleTimer = SetTimer(nullptr, 0, kIdleDelay, IdleTimer);
}

void CloseCompletion() {
  if (g.list) DestroyWindow(g.list);
  g.list = nullptr;
  g.listEdit = nullptr;
  g.items.clear();
}

void InsertCompletion() {
  HWND edit = g.listEdit;
  const int at = g.list ? static_cast<int>(SendMessageA(g.list, LB_GETCURSEL, 0, 0)) : -1;
  if (!edit || at < 0 || at >= static_cast<int>(g.items.size())) return CloseCompletion();
  const std::string text = g.items[at].text;
  long start = 0, end = 0;
  GetSelection(edit, start, end);
  CloseCompletion();
  // The typed part and the rest of the name in one change: one Undo step.
  if (DocumentTextControl(g_app.activeDocument) == edit)
    ReplaceDocumentRange(g_app.activeDocument, g.wordStart, end, text);
}

// Opens, fills or closes the list for the name before the caret. `asked`: Ctrl+Space.
void RefreshCompletion(bool asked) {
  HWND edit = ActiveEdit();
  if (!edit || (g.list && edit != g.listEdit)) return CloseCompletion();
  long start = 0, end = 0;
  GetSelection(edit, start, end);
  if (start != end) return CloseCompletion();
  int line = 0;
  long lineStart = 0;
  const std::string text = LineAt(edit, start, line, lineStart);
  const int column = static_cast<int>(start - lineStart);
  const Span span = WordAt(text, column);
  std::string prefix;
  long wordStart = start;
  if (span.end > span.start && span.start < column) {
    prefix = text.substr(span.start, column - span.start);
    wordStart = lineStart + span.start;
  } else if (!asked || (span.end > span.start && column > span.start)) {
    return CloseCompletion();
  }
  if (!prefix.empty() && (prefix[0] == '$' || (prefix[0] >= '0' && prefix[0] <= '9'))) return CloseCompletion();
  if (!g.list && !asked && prefix.size() < 3) return;
  std::vector<Completion> items =
      CompletionsFor(prefix, DocumentPath(g_app.activeDocument), line + 1, ProjectIndex(asked),
                     InOperandField(std::string_view(text).substr(0, static_cast<std::size_t>(wordStart - lineStart))));
  if (items.empty() || (!asked && !g.list && items.size() == 1 && items[0].text == prefix)) return CloseCompletion();
  if (!g.list) {
    g.list = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, "LISTBOX", nullptr,
                             WS_POPUP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT, 0,
                             0, 10, 10, g.frame, nullptr, g_app.instance, nullptr);
    if (!g.list) return;
    SendMessageA(g.list, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    const int stops[] = {120};
    SendMessageA(g.list, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(stops));
  }
  g.listEdit = edit;
  g.wordStart = wordStart;
  g.items = std::move(items);
  SendMessageA(g.list, WM_SETREDRAW, FALSE, 0);
  SendMessageA(g.list, LB_RESETCONTENT, 0, 0);
  for (const Completion& c : g.items) {
    const std::string row = c.text + "\t" + c.kind;
    SendMessageA(g.list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
  }
  SendMessageA(g.list, LB_SETCURSEL, 0, 0);
  SendMessageA(g.list, WM_SETREDRAW, TRUE, 0);
  POINTL caret{};
  SendMessageA(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&caret), wordStart);
  POINT screen{caret.x, caret.y + LineHeight()};
  ClientToScreen(edit, &screen);
  const int rowHeight = static_cast<int>(SendMessageA(g.list, LB_GETITEMHEIGHT, 0, 0));
  const int rows =
      static_cast<int>(g.items.size()) < kCompletionRows ? static_cast<int>(g.items.size()) : kCompletionRows;
  SetWindowPos(g.list, HWND_TOPMOST, screen.x, screen.y, 260, rows * rowHeight + 4, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(g.list, nullptr, TRUE);
}

void CheckSelection() {
  HWND edit = ActiveEdit();
  if (!edit) return;
  long start = 0, end = 0;
  GetSelection(edit, start, end);
  if (edit == g.selectionEdit && start == g.selectionStart && end == g.selectionEnd) return;
  g.selectionEdit = edit;
  g.selectionStart = start;
  g.selectionEnd = end;
  if (start == end) {
    if (g.cyclesShown) ShowStatusNote("");
    g.cyclesShown = false;
    return;
  }
  const int first = static_cast<int>(SendMessageA(edit, EM_EXLINEFROMCHAR, 0, start));
  int last = static_cast<int>(SendMessageA(edit, EM_EXLINEFROMCHAR, 0, end));
  if (last > first && LineIndex(edit, last) == end) --last;  // a selection to a line's start ends before it
  const long from = LineIndex(edit, first);
  const long lastStart = LineIndex(edit, last);
  const long to = lastStart + static_cast<long>(SendMessageA(edit, EM_LINELENGTH, lastStart, 0));
  const std::string text = TextRange(edit, from, to);
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at <= text.size()) {
    std::size_t next = text.find_first_of("\r\n", at);
    if (next == std::string::npos) next = text.size();
    lines.push_back(text.substr(at, next - at));
    if (next < text.size() && text[next] == '\r' && next + 1 < text.size() && text[next + 1] == '\n') ++next;
    at = next + 1;
  }
  // The vertical blank's budgets hold for the interrupt routine the last build installed.
  const bool interrupt =
      LastBuildInsight()->facts.InInterruptRoutine(DocumentPath(g_app.activeDocument), first + 1, last + 1);
  const std::string sum = CycleSumText(SumCycles(lines), interrupt);
  if (sum.empty()) {
    if (g.cyclesShown) ShowStatusNote("");
    g.cyclesShown = false;
    return;
  }
  ShowStatusNote(sum.c_str());
  g.cyclesShown = true;
}

void Post(UINT message, bool& posted) {
  if (posted) return;
  posted = PostThreadMessageA(GetCurrentThreadId(), message, 0, 0) != FALSE;
}

// True when the message was taken here and is not to go on.
bool Watch(MSG& m) {
  if (!m.hwnd) {
    if (m.message == kRefreshCompletion) {
      g.refreshPosted = false;
      RefreshCompletion(false);
      return true;
    }
    if (m.message == kCheckSelection) {
      g.selectionPosted = false;
      CheckCaretNotes();
      CheckSelection();
      return true;
    }
    return false;
  }
  HWND edit = ActiveEdit();
  const bool inText = edit && m.hwnd == edit;
  switch (m.message) {
    case WM_MOUSEMOVE: {
      if (m.hwnd == g.tip) return false;
      const POINT at{static_cast<short>(LOWORD(m.lParam)), static_cast<short>(HIWORD(m.lParam))};
      if (!g.tipText.empty() && (!inText || std::abs(at.x - g.tipAnchor.x) > 3 || std::abs(at.y - g.tipAnchor.y) > 3))
        HideTip();
      if (inText && (at.x != g.hoverPoint.x || at.y != g.hoverPoint.y || !g.hoverTimer) && g.tipText.empty()) {
        if (g.hoverTimer) KillTimer(nullptr, g.hoverTimer);
        g.hoverEdit = edit;
        g.hoverPoint = at;
        g.hoverTimer = SetTimer(nullptr, 0, kHoverDelay, HoverTimer);
      }
      if (inText && (m.wParam & MK_LBUTTON)) Post(kCheckSelection, g.selectionPosted);
      return false;
    }
    case WM_NCMOUSEMOVE:
    case WM_MOUSEWHEEL:
    case WM_RBUTTONDOWN:
      HideTip();
      if (m.message == WM_MOUSEWHEEL) CloseCompletion();
      return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      HideTip();
      if (g.list && m.hwnd == g.list) {
        if (m.message == WM_LBUTTONDBLCLK) {
          DispatchMessageA(&m);  // the list selects the row under the mouse
          InsertCompletion();
          return true;
        }
        return false;
      }
      CloseCompletion();
      return false;
    case WM_LBUTTONUP:
      if (inText) Post(kCheckSelection, g.selectionPosted);
      return false;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      HideTip();
      if (!inText) return false;
      Post(kCheckSelection, g.selectionPosted);
      RestartIdleTimer();
      if (g.list) {
        switch (m.wParam) {
          case VK_UP:
          case VK_DOWN:
          case VK_PRIOR:
          case VK_NEXT:
            SendMessageA(g.list, WM_KEYDOWN, m.wParam, m.lParam);
            return true;
          case VK_RETURN:
          case VK_TAB:
            InsertCompletion();
            return true;
          case VK_ESCAPE:
            CloseCompletion();
            return true;
          case VK_BACK:
            Post(kRefreshCompletion, g.refreshPosted);
            return false;
          case VK_LEFT:
          case VK_RIGHT:
          case VK_HOME:
          case VK_END:
          case VK_DELETE:
            CloseCompletion();
            return false;
        }
      }
      return false;
    case WM_KEYUP:
      if (inText) Post(kCheckSelection, g.selectionPosted);
      return false;
    case WM_CHAR:
      if (inText && m.wParam >= ' ') Post(kRefreshCompletion, g.refreshPosted);
      return false;
  }
  return false;
}

LRESULT CALLBACK MessageHook(int code, WPARAM removal, LPARAM lParam) {
  if (code == HC_ACTION && removal == PM_REMOVE) {
    auto* m = reinterpret_cast<MSG*>(lParam);
    if (Watch(*m)) {
      m->message = WM_NULL;
      m->wParam = m->lParam = 0;
    }
  }
  return CallNextHookEx(g.hook, code, removal, lParam);
}

}  // namespace

void StartInsightEditing(HWND frame) {
  g.frame = frame;
  if (!g.hook) g.hook = SetWindowsHookExA(WH_GETMESSAGE, MessageHook, nullptr, GetCurrentThreadId());
}

void StopInsightEditing() {
  HideTip();
  CloseCompletion();
  if (g.tip) DestroyWindow(g.tip);
  if (g.idleTimer) KillTimer(nullptr, g.idleTimer);
  if (g.hook) UnhookWindowsHookEx(g.hook);
  g = State();
}

namespace {

// The gutter's note of `line` (from 0) of a document: its address and cycles.
std::string NoteOfLine(HWND window, int line) {
  HWND edit = DocumentTextControl(window);
  if (!edit || line < 0) return {};
  auto lineText = [&](int n) {
    const long start = DocumentLineStart(window, n);
    if (start < 0) return std::string();
    return TextRange(edit, start, start + static_cast<long>(SendMessageA(edit, EM_LINELENGTH, start, 0)));
  };
  const std::string text = lineText(line);
  bool afterSdbd = false;
  if (line > 0) {
    const LineCycles before = CyclesOfLine(lineText(line - 1), false);
    afterSdbd = before.info && std::string_view(before.info->mnemonic) == "SDBD";
  }
  return GutterNote(text, afterSdbd, DocumentPath(window), line + 1, LastBuildInsight()->facts);
}

}  // namespace

void ToggleCycleColumn(HWND frame) {
  g_cycleColumn = !g_cycleColumn;
  EditorHookSet& hooks = EditorHooks();
  hooks.gutterNote = g_cycleColumn ? std::function<std::string(HWND, int)>(NoteOfLine) : nullptr;
  hooks.gutterNoteCharacters = g_cycleColumn ? kGutterNoteCharacters : 0;
  if (frame) CheckMenuItem(GetMenu(frame), IDM_TOOLS_CYCLECOLUMN, MF_BYCOMMAND | (g_cycleColumn ? MF_CHECKED : 0));
  RefreshGutters();
}

bool CycleColumnShown() { return g_cycleColumn; }

void RefreshAfterBuild() {
  if (g_cycleColumn) RefreshGutters();
}

void CompleteWordCommand(HWND) {
  HideTip();
  RefreshCompletion(true);
}

std::string ShownTip() { return g.tipText; }

HWND CompletionList() { return g.list; }

}  // namespace quillon
