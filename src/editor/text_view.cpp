#include "editor/text_view.h"

#include <richedit.h>

#include <algorithm>
#include <cstdlib>

#include "editor/document.h"
#include "editor/document_refresh.h"
#include "editor/text_control.h"
#include "editor/text_model.h"
#include "editor/view_place.h"
#include "ui/app_state.h"

namespace quillon {

namespace {

// The control's messages to its window during our own moves are not followed again.
bool g_moving = false;

struct Moving {
  Moving() : was(g_moving) { g_moving = true; }
  ~Moving() { g_moving = was; }
  const bool was;
};

// The view as it stands: the part of the window that shows text, and both directions.
struct View {
  HWND window = nullptr;
  Document* document = nullptr;
  RECT shown{};  // in the window's client coordinates
  ViewAxis across, down;
  POINT scroll{};  // the control's own
  long left() const { return scroll.x + document->shiftX; }
  long top() const { return scroll.y + document->shiftY; }
};

POINTL PositionOf(HWND edit, long character) {
  POINTL at{};
  SendMessageA(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), character);
  return at;
}

// The height of a line: every line has the first one's (one font for all the text).
long LineHeight(HWND edit, Document& document, int lines) {
  if (lines >= 2) {
    const long first = PositionOf(edit, 0).y, second = PositionOf(edit, LineIndex(edit, 1)).y;
    if (second > first) document.lineHeight = second - first;
  }
  return document.lineHeight;
}

bool Measure(HWND window, View& view) {
  view.window = window;
  view.document = GetDocument(window);
  if (!view.document || !view.document->edit) return false;
  Document& document = *view.document;
  HWND edit = document.edit;
  RECT client{}, control{};
  GetClientRect(window, &client);
  GetClientRect(edit, &control);
  view.shown = {std::min(static_cast<LONG>(document.gutterWidth), client.right), 0, client.right, client.bottom};
  view.scroll = ScrollPosition(edit);
  const int lines = std::max(1, LineCount(edit));
  const long lineHeight = LineHeight(edit, document, lines);
  // The text's height from where its last line is; its width from its widest line, counted in
  // the undo history's copy of the text, again after any change larger than some typing. Not
  // while a change is at work: the copy is still the text before it.
  const long length = static_cast<long>(document.model.history.Text().size());
  if (NeedsMeasuring({document.measuredLines, document.measuredLineHeight, document.measuredLength}, lines, lineHeight,
                     length)) {
    document.textHeight = PositionOf(edit, LineIndex(edit, lines - 1)).y + view.scroll.y + lineHeight;
    const long widest =
        static_cast<long>(WidestLineColumns(document.model.history.Text(), static_cast<int>(g_settings.tabWidth)));
    const bool settled = document.editDepth == 0 && !document.applyingHistory;
    document.widestColumns = settled ? widest : std::max(document.widestColumns, widest);
    document.measuredLines = settled ? lines : -1;
    document.measuredLineHeight = lineHeight;
    document.measuredLength = length;
  }
  view.down = {document.textHeight, control.bottom, view.shown.bottom - view.shown.top};
  view.across = {(document.widestColumns + 2) * document.charWidth, control.right, view.shown.right - view.shown.left};
  // The width is counted, not measured: what shows already is part of the text.
  view.across.content = std::max(view.across.content, std::min(view.left() + view.across.visible, view.across.control));
  return true;
}

void SetBar(HWND window, int bar, const ViewAxis& axis, long position) {
  SCROLLINFO now{};
  now.cbSize = sizeof now;
  now.fMask = SIF_ALL;
  GetScrollInfo(window, bar, &now);
  SCROLLINFO wanted = now;
  wanted.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
  wanted.nMin = 0;
  wanted.nMax = static_cast<int>(std::max(axis.content, axis.visible) - 1);
  wanted.nPage = static_cast<UINT>(std::max(0L, axis.visible));
  wanted.nPos = static_cast<int>(position);
  if (now.nMin == wanted.nMin && now.nMax == wanted.nMax && now.nPage == wanted.nPage && now.nPos == wanted.nPos)
    return;
  // Drawn with the window's next paint: under Wine drawing a bar at once costs a key 3 ms, and
  // keys typed fast need it drawn once.
  SetScrollInfo(window, bar, &wanted, FALSE);
  RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
}

// Shows the text from (left, top): the control scrolls as far as it can, and moves out past the
// window's edges for the rest.
void ShowFrom(View& view, long left, long top) {
  Moving moving;
  Document& document = *view.document;
  HWND edit = document.edit;
  const long oldTop = view.top();
  const int pending = document.follow;  // what the control asked before our own moves
  const long oldShiftX = document.shiftX;
  left = std::clamp(left, 0L, LastViewTop(view.across));
  top = std::clamp(top, 0L, LastViewTop(view.down));
  POINT wanted{PlaceView(view.across, left).scroll, PlaceView(view.down, top).scroll};
  if (wanted.x != view.scroll.x || wanted.y != view.scroll.y) {
    SetScrollPosition(edit, wanted);
    view.scroll = ScrollPosition(edit);
  }
  const long shiftX = ShiftFor(view.across, left, view.scroll.x), shiftY = ShiftFor(view.down, top, view.scroll.y);
  if (shiftX != document.shiftX) {
    // The part moved out to the left would cover the gutter.
    HRGN region = shiftX > 0 ? CreateRectRgn(shiftX, 0, 0x7FFF, 0x7FFF) : nullptr;
    if (!SetWindowRgn(edit, region, FALSE) && region) DeleteObject(region);
  }
  RECT place{};
  GetWindowRect(edit, &place);
  MapWindowPoints(nullptr, view.window, reinterpret_cast<POINT*>(&place), 2);
  if (place.left != view.shown.left - shiftX || place.top != view.shown.top - shiftY)
    SetWindowPos(edit, nullptr, view.shown.left - shiftX, view.shown.top - shiftY, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  document.shiftX = shiftX;
  document.shiftY = shiftY;
  document.shownWidth = view.across.visible;
  document.shownHeight = view.down.visible;
  SetBar(view.window, SB_HORZ, view.across, view.left());
  SetBar(view.window, SB_VERT, view.down, view.top());
  if (view.top() != oldTop || shiftX != oldShiftX) RefreshDocument(view.window, kRefreshGutter);
  document.follow = pending;  // our own moves are no news
}

// Where the caret is in the control: the end of the selection that moved, or when both did (a
// selection that turned over its anchor, or one the program set), the end away from the anchor,
// the place where it was last empty. With nothing selected, the system caret says it without
// walking the text as the control would.
POINTL CaretPosition(Document& document) {
  long start = 0, end = 0;
  GetSelection(document.edit, start, end);
  const long caret = FollowSelection(document.selection, start, end);
  GUITHREADINFO thread{};
  thread.cbSize = sizeof thread;
  if (start == end && GetGUIThreadInfo(GetCurrentThreadId(), &thread) && thread.hwndCaret == document.edit)
    return {thread.rcCaret.left, thread.rcCaret.top};
  return PositionOf(document.edit, caret);
}

// The control grows as FitControlSize says (view_place.h): it never scrolls sideways itself,
// the view moves it; the largest size is what windows can be given everywhere.
bool FitControl(View& view) {
  // Read once: under Wine each reading asks the display driver, and this runs on every key.
  static const long screenWide = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  static const long screenHigh = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  const ControlSize size = FitControlSize(view.across, view.down, screenWide, screenHigh);
  if (!size.grows) return true;
  const long wide = size.width, high = size.height;
  HWND edit = view.document->edit;
  RECT outer{};
  GetWindowRect(edit, &outer);
  const long extraX = (outer.right - outer.left) - view.across.control;
  const long extraY = (outer.bottom - outer.top) - view.down.control;
  // A large text takes seconds to lay out again under Wine: the pointer says the IDE is busy.
  HCURSOR previous = SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
  {
    Moving moving;
    const int pending = view.document->follow;
    SetWindowPos(edit, nullptr, 0, 0, wide + extraX, high + extraY, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    view.document->follow = pending;
  }
  SetCursor(previous);
  return Measure(view.window, view);
}

}  // namespace

void PlaceTextView(HWND window) {
  Moving moving;  // what the control reports meanwhile is our own doing
  View view;
  if (!Measure(window, view) || !FitControl(view)) return;
  Document& document = *view.document;
  // A caret that showed before the window changed size still shows after it.
  long start = 0, end = 0;
  GetSelection(document.edit, start, end);
  const POINTL at = PositionOf(document.edit, end);
  const long x = at.x + view.scroll.x, y = at.y + view.scroll.y;
  long left = view.left(), top = view.top();
  if (y >= top && y + document.lineHeight <= top + document.shownHeight) {
    top = TopShowing(top, view.down.visible, y, y + document.lineHeight);
    if (x >= left && x <= left + document.shownWidth)
      left = TopShowing(left, view.across.visible, std::max(0L, x - document.charWidth), x + document.charWidth);
  }
  ShowFrom(view, left, top);
}

void FitTextViewBeforeText(HWND window, const std::string& text) {
  Moving moving;
  View view;
  if (!Measure(window, view)) return;
  const long widest = static_cast<long>(WidestLineColumns(text, static_cast<int>(g_settings.tabWidth)));
  view.across.content = std::max(view.across.content, (widest + 2) * view.document->charWidth);
  FitControl(view);
  view.document->measuredLines = -1;  // another text: its height and width are measured again
}

void FollowTextControl(HWND window) {
  Document* document = GetDocument(window);
  if (!document || g_moving) return;
  Moving moving;
  const int follow = document->follow;
  document->follow = 0;
  View view;
  if (!follow || !Measure(window, view) || !FitControl(view)) return;
  long left = view.left(), top = view.top();
  if (follow & kFollowCaret) {
    const POINTL at = CaretPosition(*document);
    const long x = at.x + view.scroll.x, y = at.y + view.scroll.y;
    // A line may be wider than measured: the caret's place says so. The width then grows by
    // more than a character, so that the scroll bar need not change with every key.
    const long reach = x + 2 * document->charWidth;
    if (reach > view.across.content) {
      document->widestColumns = reach / std::max(1, document->charWidth) + 16;
      view.across.content = std::max(view.across.content, (document->widestColumns + 2) * document->charWidth);
      if (!FitControl(view)) return;
      view.across.content = std::max(view.across.content, reach);
    }
    left = TopShowing(left, view.across.visible, std::max(0L, x - document->charWidth), x + document->charWidth);
    top = TopShowing(top, view.down.visible, y, y + document->lineHeight);
  }
  ShowFrom(view, left, top);
}

void ScrollTextView(HWND window, int bar, WPARAM request) {
  Moving moving;
  View view;
  if (!Measure(window, view)) return;
  const bool vertical = bar == SB_VERT;
  const ViewAxis& axis = vertical ? view.down : view.across;
  const long step = vertical ? view.document->lineHeight : view.document->charWidth;
  long at = vertical ? view.top() : view.left();
  ScrollRequest asked;
  long to = at;
  switch (LOWORD(request)) {
    case SB_LINEUP:
      asked = ScrollRequest::kLineBack;
      break;
    case SB_LINEDOWN:
      asked = ScrollRequest::kLineOn;
      break;
    case SB_PAGEUP:
      asked = ScrollRequest::kPageBack;
      break;
    case SB_PAGEDOWN:
      asked = ScrollRequest::kPageOn;
      break;
    case SB_TOP:
      asked = ScrollRequest::kStart;
      break;
    case SB_BOTTOM:
      asked = ScrollRequest::kEnd;
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      asked = ScrollRequest::kTo;
      SCROLLINFO info{};
      info.cbSize = sizeof info;
      info.fMask = SIF_TRACKPOS;
      if (GetScrollInfo(window, bar, &info)) to = info.nTrackPos;
      break;
    }
    default:
      return;
  }
  at = ScrollTarget(asked, at, step, axis, to);
  ShowFrom(view, vertical ? view.left() : at, vertical ? at : view.top());
}

void TurnWheel(HWND window, WPARAM wParam, bool sideways) {
  Moving moving;
  View view;
  if (!Measure(window, view) || (LOWORD(wParam) & MK_CONTROL)) return;
  UINT lines = 3;
  SystemParametersInfoA(sideways ? SPI_GETWHEELSCROLLCHARS : SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  const long delta = GET_WHEEL_DELTA_WPARAM(wParam);
  if (sideways) {  // a turn to the right shows what is further right
    ShowFrom(view, WheelSidewaysTarget(view.left(), delta, lines, view.document->charWidth), view.top());
    return;
  }
  ShowFrom(
      view, view.left(),
      WheelTarget(view.top(), delta, lines, lines == WHEEL_PAGESCROLL, view.document->lineHeight, view.down.visible));
}

int FirstShownLine(HWND window) {
  const Document* document = GetDocument(window);
  if (!document || !document->edit) return 0;
  POINTL at{1, document->shiftY};  // the window's top edge, in the control
  const LRESULT character = SendMessageA(document->edit, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&at));
  return static_cast<int>(SendMessageA(document->edit, EM_EXLINEFROMCHAR, 0, character));
}

RECT ShownTextRect(HWND window) {
  const Document* document = GetDocument(window);
  if (!document) return {};
  return {document->shiftX, document->shiftY, document->shiftX + document->shownWidth,
          document->shiftY + document->shownHeight};
}

void ScrollShownLines(HWND window, int columns, int lines) {
  Moving moving;
  View view;
  if (!Measure(window, view)) return;
  const int count = LineCount(view.document->edit);
  const int line = std::clamp(FirstShownLine(window) + lines, 0, std::max(0, count - 1));
  const long top = PositionOf(view.document->edit, LineIndex(view.document->edit, line)).y + view.scroll.y;
  ShowFrom(view, view.left() + columns * view.document->charWidth, top);
}

namespace {

constexpr UINT_PTR kDragTimer = 7;
constexpr UINT kDragTickMs = 50;

// The last place of the dragging mouse, on the screen: the view moves under it.
POINT g_dragPoint{};

}  // namespace

void DragOverText(HWND window, LPARAM where) {
  Document* document = GetDocument(window);
  if (!document || !document->edit || GetCapture() != document->edit) return;
  POINT at{static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where))};
  MapWindowPoints(document->edit, window, &at, 1);
  RECT client{};
  GetClientRect(window, &client);
  client.left = document->gutterWidth;
  if (PtInRect(&client, at)) {
    KillTimer(window, kDragTimer);
    return;
  }
  g_dragPoint = at;
  ClientToScreen(window, &g_dragPoint);
  SetTimer(window, kDragTimer, kDragTickMs, nullptr);
}

bool DragTimerTick(HWND window, UINT_PTR timer) {
  if (timer != kDragTimer) return false;
  Document* document = GetDocument(window);
  if (!document || !document->edit || GetCapture() != document->edit) {
    KillTimer(window, kDragTimer);
    return true;
  }
  // The control takes the text under the mouse into the selection; the caret there brings the
  // view along, so the farther past the edge, the faster it goes.
  POINT at = g_dragPoint;
  ScreenToClient(document->edit, &at);
  SendMessageA(document->edit, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  return true;
}

void PageTextView(HWND window, bool down) {
  Document* document = GetDocument(window);
  if (!document || !document->edit) return;
  {
    Moving moving;
    View view;
    if (!Measure(window, view)) return;
    const long lines = std::max(1L, view.down.visible / std::max(1L, document->lineHeight));
    const long top = view.top();
    // The control moves the caret by its own height, which is the screen's: line by line instead,
    // keeping the column it remembers and the selection's anchor when Shift is down. The status
    // bar hears of the caret once, after the last line.
    {
      ScopedEventMask noCaretNews(document->edit, ENM_SELCHANGE);
      for (long i = 0; i < lines; ++i) SendMessageA(document->edit, WM_KEYDOWN, down ? VK_DOWN : VK_UP, 0);
    }
    if (!Measure(window, view)) return;
    ShowFrom(view, view.left(), top + (down ? lines : -lines) * document->lineHeight);
  }
  document->follow = kFollowCaret;
  FollowTextControl(window);
  RefreshDocument(window, kRefreshCaret);
}

}  // namespace quillon
