#include "editor/gutter.h"

#include <richedit.h>

#include <algorithm>
#include <string>

#include "editor/document.h"
#include "editor/document_window.h"
#include "editor/text_control.h"
#include "editor/text_view.h"
#include "resource.h"
#include "ui/app_state.h"
#include "ui/dpi.h"

namespace quillon {

namespace {

constexpr COLORREF kErrorMark = RGB(220, 0, 0);
constexpr COLORREF kWarningMark = RGB(230, 130, 0);

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
  const int width = std::max(GutterWidth(lines, DigitWidth(), g_settings.lineNumbers), Scaled(kGutterWidth96));
  if (width == document->gutterWidth) return;
  document->gutterWidth = width;
  PlaceTextView(window);
  InvalidateGutter(window, *document);
}

int FitGutter(HWND window, Document& document) {
  if (!document.edit) return document.gutterWidth;
  document.gutterLines = LineCount(document.edit);
  // Never narrower than the strip the screen's scale gives.
  const int width =
      std::max(GutterWidth(document.gutterLines, DigitWidth(), g_settings.lineNumbers), Scaled(kGutterWidth96));
  if (width != document.gutterWidth) {
    document.gutterWidth = width;
    PlaceTextView(window);
    InvalidateGutter(window, document);
  }
  return width;
}

void GutterAfterChange(HWND window, Document& document) {
  if (!document.edit) return;
  const int before = document.gutterLines;
  const int now = LineCount(document.edit);
  if (now == before) return;
  if (!document.path.empty() && !BuildMarks().Empty()) {
    long start = 0, end = 0;
    GetSelection(document.edit, start, end);
    const int caretLine = static_cast<int>(SendMessageA(document.edit, EM_EXLINEFROMCHAR, 0, end));
    BuildMarks().Shift(document.path, caretLine, now - before);
  }
  FitGutter(window, document);
  InvalidateGutter(window, document);
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
  const std::vector<LineMark>* marks = document->path.empty() ? nullptr : BuildMarks().For(document->path);
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
    if (marks)
      for (const LineMark& mark : *marks)
        if (mark.line == line) {
          RECT box{1, static_cast<LONG>(top + 1), kMarkStripWidth - 1, static_cast<LONG>(top + height - 1)};
          HBRUSH brush = CreateSolidBrush(mark.kind == MarkKind::kError ? kErrorMark : kWarningMark);
          FillRect(dc, &box, brush);
          DeleteObject(brush);
          break;
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

}  // namespace quillon
