#include "editor/gutter.h"

#include <richedit.h>

#include <algorithm>
#include <string>

#include "editor/document.h"
#include "editor/document_refresh.h"
#include "editor/text_control.h"
#include "resource.h"
#include "ui/app_state.h"
#include "ui/dpi.h"

namespace quillon {

namespace {

constexpr COLORREF kErrorMark = RGB(220, 0, 0);
constexpr COLORREF kWarningMark = RGB(230, 130, 0);
constexpr COLORREF kBreakpointMark = RGB(190, 0, 0);
constexpr COLORREF kCurrentLineMark = RGB(255, 220, 0);

int DigitWidth() {
  static int width = 0;
  if (width > 0) return width;
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, GetStockObject(DEFAULT_GUI_FONT));
  SIZE size{};
  GetTextExtentPoint32A(screen, "0", 1, &size);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  width = size.cx > 0 ? size.cx : 7;
  return width;
}

void InvalidateGutter(HWND window, const Document& document) {
  RECT strip{};
  GetClientRect(window, &strip);
  strip.right = document.gutterWidth;
  InvalidateRect(window, &strip, FALSE);
}

// The gutter's width: the marks, the notes when there are any, and the numbers.
int WidthFor(int lines) {
  const EditorHookSet& hooks = EditorHooks();
  const int notes =
      hooks.gutterNote && hooks.gutterNoteCharacters > 0 ? hooks.gutterNoteCharacters * DigitWidth() + 4 : 0;
  return std::max(GutterWidth(lines, DigitWidth(), g_settings.lineNumbers) + notes, Scaled(kGutterWidth96));
}

// The marks of a line: the build's in the strip, a breakpoint's dot over it, the current line's
// arrow over both.
void PaintMarks(HDC dc, const Document& document, int line, long top, long height) {
  if (document.path.empty()) return;
  const std::vector<LineMark>* sets[] = {BuildMarks().For(document.path), DebugMarks().For(document.path)};
  bool breakpoint = false, current = false;
  for (const std::vector<LineMark>* marks : sets) {
    if (!marks) continue;
    for (const LineMark& mark : *marks) {
      if (mark.line != line) continue;
      if (mark.kind == MarkKind::kBreakpoint) {
        breakpoint = true;
      } else if (mark.kind == MarkKind::kCurrentLine) {
        current = true;
      } else {
        RECT box{1, static_cast<LONG>(top + 1), kMarkStripWidth - 1, static_cast<LONG>(top + height - 1)};
        HBRUSH brush = CreateSolidBrush(mark.kind == MarkKind::kError ? kErrorMark : kWarningMark);
        FillRect(dc, &box, brush);
        DeleteObject(brush);
      }
    }
  }
  const long middle = top + height / 2;
  if (breakpoint) {
    HBRUSH brush = CreateSolidBrush(kBreakpointMark);
    HGDIOBJ old = SelectObject(dc, brush);
    Ellipse(dc, 0, static_cast<int>(middle - 4), kMarkStripWidth, static_cast<int>(middle + 4));
    SelectObject(dc, old);
    DeleteObject(brush);
  }
  if (current) {
    POINT arrow[] = {{0, static_cast<LONG>(middle - 4)},
                     {kMarkStripWidth - 1, static_cast<LONG>(middle)},
                     {0, static_cast<LONG>(middle + 4)}};
    HBRUSH brush = CreateSolidBrush(kCurrentLineMark);
    HGDIOBJ old = SelectObject(dc, brush);
    Polygon(dc, arrow, 3);
    SelectObject(dc, old);
    DeleteObject(brush);
  }
}

BOOL CALLBACK RefreshOne(HWND window, LPARAM) {
  if (GetParent(window) != g_app.mdiClient) return TRUE;
  if (Document* document = GetDocument(window); document && document->edit) {
    FitGutter(window, *document);
    InvalidateGutter(window, *document);
  }
  return TRUE;
}

}  // namespace

LineMarks& BuildMarks() {
  static LineMarks marks;
  return marks;
}

void RefreshGutters() {
  if (g_app.mdiClient) EnumChildWindows(g_app.mdiClient, RefreshOne, 0);
}

void ToggleLineNumbers(HWND frame) {
  g_settings.lineNumbers = !g_settings.lineNumbers;
  CheckMenuItem(GetMenu(frame), IDM_TOOLS_LINENUMBERS, MF_BYCOMMAND | (g_settings.lineNumbers ? MF_CHECKED : 0));
  RefreshGutters();
}

void FitGutterBeforeText(HWND edit, const std::string& text) {
  HWND window = GetParent(edit);
  Document* document = GetDocument(window);
  if (!document || document->edit != edit) return;
  // Free while the control holds little text; a large old text follows later instead.
  int lines = 1;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\r' || (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))) ++lines;
  const int width = WidthFor(lines);
  if (width == document->gutterWidth) return;
  document->gutterWidth = width;
  RefreshDocument(window, kRefreshLayout);
  InvalidateGutter(window, *document);
}

int FitGutter(HWND window, Document& document) {
  if (!document.edit) return document.gutterWidth;
  document.gutterLines = LineCount(document.edit);
  // Never narrower than the strip the screen's scale gives.
  const int width = WidthFor(document.gutterLines);
  if (width != document.gutterWidth) {
    document.gutterWidth = width;
    RefreshDocument(window, kRefreshLayout);
    InvalidateGutter(window, document);
  }
  return width;
}

void GutterAfterChange(HWND window, Document& document) {
  if (!document.edit) return;
  const int before = document.gutterLines;
  const int now = LineCount(document.edit);
  if (now == before) return;
  FitGutter(window, document);
  InvalidateGutter(window, document);
}

void MarksFollowChange(HWND window, const Document& document, const std::string& text, std::size_t start,
                       std::string_view removed, std::string_view inserted) {
  if (document.path.empty() || start > text.size() ||
      (!BuildMarks().For(document.path) && !DebugMarks().For(document.path)))
    return;
  LineChange change;
  change.firstLine = static_cast<int>(std::count(text.begin(), text.begin() + static_cast<long>(start), '\r'));
  change.atLineStart = start == 0 || text[start - 1] == '\r';
  change.removed = removed;
  change.inserted = inserted;
  const bool build = BuildMarks().Follow(document.path, change);
  if (DebugMarks().Follow(document.path, change) || build) InvalidateGutter(window, document);
}

void GutterAfterScroll(HWND window, Document& document, bool scrolled) {
  if (!document.edit) return;
  const int first = FirstVisibleLine(document.edit);
  if (!scrolled && first == document.gutterFirst) return;
  document.gutterFirst = first;
  InvalidateGutter(window, document);
}

void PaintGutter(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  Document* document = GetDocument(window);
  RECT strip{};
  GetClientRect(window, &strip);
  if (document) strip.right = document->gutterWidth;
  FillRect(dc, &strip, GetSysColorBrush(COLOR_BTNFACE));
  if (!document || !document->edit) {
    EndPaint(window, &paint);
    return;
  }
  HWND edit = document->edit;
  POINT origin{0, 0};
  MapWindowPoints(edit, window, &origin, 1);
  const EditorHookSet& hooks = EditorHooks();
  const bool notes = hooks.gutterNote && hooks.gutterNoteCharacters > 0;
  const int count = LineCount(edit);
  const int first = FirstVisibleLine(edit);
  document->gutterFirst = first;
  // The numbers in the dialog font, made smaller when its lines are taller than the text's (at a
  // high DPI under Wine, the text's default font keeps its size while the dialog font grows).
  HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  HFONT fitted = nullptr;
  TEXTMETRICA metrics{};
  if (GetTextMetricsA(dc, &metrics) && document->lineHeight > 0 && metrics.tmHeight > document->lineHeight) {
    LOGFONTA face{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof face, &face);
    face.lfHeight = document->lineHeight;
    face.lfWidth = 0;
    if ((fitted = CreateFontIndirectA(&face))) SelectObject(dc, fitted);
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  long nextTop = -1;
  for (int line = first; line < count; ++line) {
    POINTL at{};
    long top = nextTop;
    if (top < 0) {
      SendMessageA(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), LineIndex(edit, line));
      top = at.y + origin.y;
    }
    if (top >= strip.bottom) break;
    // The next line's top gives this line's height (the last line takes the previous height).
    POINTL below{};
    if (line + 1 < count) {
      SendMessageA(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&below), LineIndex(edit, line + 1));
      nextTop = below.y + origin.y;
    }
    const long height = nextTop > top ? nextTop - top : 14;
    PaintMarks(dc, *document, line, top, height);
    if (notes) {
      const std::string note = hooks.gutterNote(window, line);
      RECT box{kMarkStripWidth, static_cast<LONG>(top), strip.right - 4, static_cast<LONG>(top + height)};
      DrawTextA(dc, note.c_str(), static_cast<int>(note.size()), &box, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    }
    if (g_settings.lineNumbers) {
      const std::string number = std::to_string(line + 1);
      RECT box{kMarkStripWidth, static_cast<LONG>(top), strip.right - 4, static_cast<LONG>(top + height)};
      DrawTextA(dc, number.c_str(), static_cast<int>(number.size()), &box, DT_RIGHT | DT_TOP | DT_SINGLELINE);
    }
    if (line + 1 >= count) break;
  }
  SelectObject(dc, oldFont);
  if (fitted) DeleteObject(fitted);
  EndPaint(window, &paint);
}

bool ClickGutter(HWND window, LPARAM where) {
  Document* document = GetDocument(window);
  const POINT at{static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where))};
  if (!document || !document->edit || at.x >= document->gutterWidth) return false;
  if (EditorHooks().gutterClick.empty()) return false;
  // The line whose band holds the point, by the text's own line positions.
  POINT inText = at;
  MapWindowPoints(window, document->edit, &inText, 1);
  POINTL asked{document->shiftX, inText.y};
  const long position =
      static_cast<long>(SendMessageA(document->edit, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&asked)));
  const int line = static_cast<int>(SendMessageA(document->edit, EM_EXLINEFROMCHAR, 0, position));
  POINTL top{};
  SendMessageA(document->edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&top), LineIndex(document->edit, line));
  if (position < 0 || inText.y < top.y || inText.y >= top.y + document->lineHeight) return true;  // below the text
  NotifyGutterClick(window, line);
  return true;
}

}  // namespace quillon
