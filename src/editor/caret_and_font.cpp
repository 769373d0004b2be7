#include "editor/caret_and_font.h"

#include <commctrl.h>
#include <commdlg.h>
#include <richedit.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/text_util.h"
#include "editor/document.h"
#include "editor/document_refresh.h"
#include "editor/file_format.h"
#include "editor/text_columns.h"
#include "editor/text_control.h"
#include "ui/app_state.h"
#include "ui/window.h"

namespace quillon {

namespace {

Subclass g_statusSubclass;  // the status bar's paint held back
bool g_holdStatusPaint = false;

// The bar paints itself within SB_SETTEXT, about 0.8 ms a key under Wine. While a part's text is
// set, that paint is held back: the part stays to be painted, with the window's next paint.
LRESULT CALLBACK StatusProcedure(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCDESTROY) return g_statusSubclass.Detach(bar, message, wParam, lParam);
  if (message == WM_PAINT && g_holdStatusPaint) return 0;
  return g_statusSubclass.CallOriginal(bar, message, wParam, lParam);
}

// A part that already shows the text is left alone.
void SetPartText(int part, const std::string& text) {
  HWND bar = g_app.statusBar;
  char shown[64] = "";
  LRESULT length = SendMessageA(bar, SB_GETTEXTLENGTHA, part, 0);
  if (LOWORD(length) < sizeof shown) {
    SendMessageA(bar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(shown));
    if (text == shown) return;
  }
  g_statusSubclass.Attach(bar, &StatusProcedure);
  g_holdStatusPaint = true;
  SendMessageA(bar, SB_SETTEXTA, part, reinterpret_cast<LPARAM>(text.c_str()));
  g_holdStatusPaint = false;
}

int CALLBACK AddFace(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM lParam) {
  auto* faces = reinterpret_cast<std::vector<InstalledFace>*>(lParam);
  faces->push_back({font->lfFaceName, (font->lfPitchAndFamily & 3) == FIXED_PITCH});
  return 1;
}

std::vector<InstalledFace> InstalledFaces() {
  std::vector<InstalledFace> faces;
  LOGFONTA all{};
  all.lfCharSet = DEFAULT_CHARSET;
  HDC dc = GetDC(nullptr);
  EnumFontFamiliesExA(dc, &all, AddFace, reinterpret_cast<LPARAM>(&faces), 0);
  ReleaseDC(nullptr, dc);
  return faces;
}

// A character of the face at the height: its width in twips and in pixels, and the height of
// its lines in pixels; 0 for what cannot be measured.
struct CharacterCell {
  int widthTwips = 0;
  int widthPixels = 0;
  long lineHeight = 0;
};

CharacterCell MeasureCharacter(const std::string& face, int heightTwips) {
  CharacterCell cell;
  HDC dc = GetDC(nullptr);
  const int height = heightTwips > 0 ? heightTwips : 200;
  HFONT font = CreateFontA(-MulDiv(height, GetDeviceCaps(dc, LOGPIXELSY), 1440), 0, 0, 0, FW_NORMAL, 0, 0, 0,
                           DEFAULT_CHARSET, 0, 0, 0, FIXED_PITCH, face.c_str());
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  if (GetTextExtentPoint32A(dc, "0000000000", 10, &size) && size.cx > 0) {
    cell.widthTwips = MulDiv(size.cx, 1440, 10 * GetDeviceCaps(dc, LOGPIXELSX));
    cell.widthPixels = std::max(1, static_cast<int>((size.cx + 5) / 10));
  }
  TEXTMETRICA metrics{};
  if (GetTextMetricsA(dc, &metrics) && metrics.tmHeight > 0) cell.lineHeight = metrics.tmHeight;
  SelectObject(dc, old);
  DeleteObject(font);
  ReleaseDC(nullptr, dc);
  return cell;
}

BOOL CALLBACK ApplyEditorFontTo(HWND window, LPARAM) {
  if (GetParent(window) != g_app.mdiClient) return TRUE;
  if (Document* document = GetDocument(window); document && document->edit) {
    SetEditorFont(document->edit);
    RefreshDocument(window, kRefreshLayout | kRefreshFollow);  // lines of another height
  }
  return TRUE;
}

}  // namespace

std::string EditorFontFace() {
  static std::string stored, resolved;
  if (stored != g_settings.fontName || resolved.empty()) {
    stored = g_settings.fontName;
    resolved = EditorFace(stored, InstalledFaces());
  }
  return resolved;
}

void SetEditorFont(HWND edit) {
  const std::string face = EditorFontFace();
  ScopedEventMask quiet(edit);
  SetTextFont(edit, face, g_settings.fontEffects, g_settings.fontSize);
  // Tab stops every N characters of the face at the height the control shows, as many as the
  // control takes; it goes on at its own spacing.
  CHARFORMATA shown{};
  shown.cbSize = sizeof shown;
  shown.dwMask = CFM_SIZE;
  SendMessageA(edit, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&shown));
  const int height = g_settings.fontSize > 0 ? g_settings.fontSize : static_cast<int>(shown.yHeight);
  const CharacterCell cell = MeasureCharacter(face, height);
  const int width = cell.widthTwips;
  if (Document* document = GetDocument(GetParent(edit))) {
    if (cell.widthPixels > 0) document->charWidth = cell.widthPixels;
    // A text of one line has no second line to measure its lines by: the font says it.
    if (cell.lineHeight > 0) document->lineHeight = cell.lineHeight;
  }
  if (width > 0) {
    PARAFORMAT tabs{};
    tabs.cbSize = sizeof tabs;
    tabs.dwMask = PFM_TABSTOPS;
    tabs.cTabCount = MAX_TAB_STOPS;
    const int every = ValidTabWidth(static_cast<long>(g_settings.tabWidth)) * width;
    for (int i = 0; i < MAX_TAB_STOPS; ++i) tabs.rgxTabs[i] = (i + 1) * every;
    long start = 0, end = 0;
    GetSelection(edit, start, end);
    SetSelection(edit, 0, -1);
    SendMessageA(edit, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&tabs));
    SetSelection(edit, start, end);
  }
}

void ApplyEditorFont() {
  if (g_app.mdiClient) EnumChildWindows(g_app.mdiClient, ApplyEditorFontTo, 0);
}

namespace {

void ShowLineAndColumn(const Document& document) {
  long start = 0, end = 0;
  int line = 0;
  long column = 0;
  if (document.edit) {
    GetSelection(document.edit, start, end);
    line = static_cast<int>(SendMessageA(document.edit, EM_EXLINEFROMCHAR, 0, end));
    // The characters before the caret back to the line's start: a look back of a few hundred
    // finds it on most lines, without asking where the line starts (a walk through the text).
    constexpr long kLookBack = 512;
    const long from = std::max(0L, end - kLookBack);
    std::string before = TextRange(document.edit, from, end);
    const std::size_t lineBreak = before.find_last_of("\r\n");
    if (lineBreak != std::string::npos)
      before.erase(0, lineBreak + 1);
    else if (from > 0)
      before = TextRange(document.edit, LineIndex(document.edit, line), end);
    column = DisplayColumn(before, static_cast<int>(g_settings.tabWidth)) - 1;
  }
  SetPartText(1, FormatLimited(kFormatBufferSize, " Ln %d, Col %ld", line + 1, column + 1));
}

}  // namespace

void ShowCaretLineAndColumn(HWND window) {
  const Document* document = GetDocument(window);
  if (g_app.statusBar && document) ShowLineAndColumn(*document);
}

void ShowCaretPosition(HWND window) {
  if (!g_app.statusBar) return;
  Document* document = GetDocument(window);
  if (!document) {
    for (int part = 1; part <= 5; ++part) SetPartText(part, "");
    return;
  }
  ShowLineAndColumn(*document);
  SetPartText(2, (GetKeyState(VK_CAPITAL) & 1) ? "CAP" : "");
  SetPartText(3, document->insertMode ? "INS" : "OVR");
  SetPartText(4, (GetKeyState(VK_NUMLOCK) & 1) ? "NUM" : "");
  SetPartText(5, LineEndName(document->file.format));
}

void ChooseEditorFont(HWND mdiClient) {
  HWND start = g_app.activeDocument;
  Document* document = GetDocument(start);
  if (document && document->edit) {
    // The font in use: the face the documents show and the stored size (else the control's).
    int heightTwips = g_settings.fontSize;
    if (heightTwips <= 0) {
      CHARFORMATA current{};
      current.cbSize = sizeof current;
      current.dwMask = CFM_SIZE;
      SendMessageA(document->edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&current));
      heightTwips = current.yHeight > 0 ? static_cast<int>(current.yHeight) : 200;
    }
    LOGFONTA font{};
    CopyLimited(font.lfFaceName, sizeof font.lfFaceName, EditorFontFace());
    HDC dc = GetDC(document->edit);
    font.lfHeight = -MulDiv(heightTwips, GetDeviceCaps(dc, LOGPIXELSY), 1440);
    ReleaseDC(document->edit, dc);
    font.lfCharSet = DEFAULT_CHARSET;

    CHOOSEFONTA chooser{};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = start;
    chooser.lpLogFont = &font;
    chooser.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_FORCEFONTEXIST;
    if (ChooseFontA(&chooser)) {
      g_settings.fontName = font.lfFaceName;
      g_settings.fontSize = chooser.iPointSize * 2;
      g_settings.fontEffects = 0;
      ApplyEditorFont();
    }
  }
  if (start && IsWindow(start)) SendMessageA(mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(start), 0);
}

}  // namespace quillon
