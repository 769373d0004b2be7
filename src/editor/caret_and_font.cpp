#include "editor/caret_and_font.h"

#include <commctrl.h>
#include <commdlg.h>
#include <richedit.h>

#include <string>
#include <vector>

#include "base/text_util.h"
#include "editor/document.h"
#include "editor/text_control.h"
#include "ui/app_state.h"

namespace quillon {

namespace {

// The mouse moving over a document asks for the display hundreds of times a second: leave a
// part that already shows the text alone, so that the bar does not repaint.
void SetPartText(int part, const std::string& text) {
  char shown[64] = "";
  LRESULT length = SendMessageA(g_app.statusBar, SB_GETTEXTLENGTHA, part, 0);
  if (LOWORD(length) < sizeof shown) {
    SendMessageA(g_app.statusBar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(shown));
    if (text == shown) return;
  }
  SendMessageA(g_app.statusBar, SB_SETTEXTA, part, reinterpret_cast<LPARAM>(text.c_str()));
}

struct FontChange {
  CHARFORMATA format;
};

BOOL CALLBACK ApplyFont(HWND window, LPARAM lParam) {
  if (GetParent(window) != g_app.mdiClient) return TRUE;
  Document* document = GetDocument(window);
  if (!document || !document->edit) return TRUE;
  HWND edit = document->edit;
  auto* change = reinterpret_cast<FontChange*>(lParam);
  const LRESULT mask = SendMessageA(edit, EM_GETEVENTMASK, 0, 0);
  SendMessageA(edit, EM_SETEVENTMASK, 0, 0);
  SendMessageA(edit, WM_SETREDRAW, FALSE, 0);
  SendMessageA(edit, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&change->format));
  SendMessageA(edit, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(edit, nullptr, nullptr, RDW_INVALIDATE);
  SendMessageA(edit, EM_SETEVENTMASK, 0, mask);
  return TRUE;
}

}  // namespace

void ShowCaretPosition(HWND window) {
  Document* document = GetDocument(window);
  if (!document || !g_app.statusBar) return;
  long start = 0, end = 0;
  int line = 0;
  long column = 0;
  if (document->edit) {
    GetSelection(document->edit, start, end);
    line = static_cast<int>(SendMessageA(document->edit, EM_EXLINEFROMCHAR, 0, end));
    column = end - LineIndex(document->edit, line);
  }
  SetPartText(1, FormatLimited(kFormatBufferSize, " Ln %d, Col %ld", line + 1, column + 1));
  SetPartText(2, (GetKeyState(VK_CAPITAL) & 1) ? "CAP" : "");
  SetPartText(3, document->insertMode ? "INS" : "OVR");
  SetPartText(4, (GetKeyState(VK_NUMLOCK) & 1) ? "NUM" : "");
}

void ChooseEditorFont(HWND mdiClient) {
  HWND start = g_app.activeDocument;
  Document* document = GetDocument(start);
  if (document && document->edit) {
    // The selection's format: documents get their font on all text, not as the default.
    CHARFORMATA current{};
    current.cbSize = sizeof current;
    current.dwMask = CFM_FACE | CFM_SIZE;
    SendMessageA(document->edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&current));

    LOGFONTA font{};
    CopyLimited(font.lfFaceName, sizeof font.lfFaceName, current.szFaceName);
    HDC dc = GetDC(document->edit);
    font.lfHeight = -MulDiv(current.yHeight / 20, GetDeviceCaps(dc, LOGPIXELSY), 72);
    ReleaseDC(document->edit, dc);

    CHOOSEFONTA chooser{};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = start;
    chooser.lpLogFont = &font;
    chooser.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_FORCEFONTEXIST;
    if (ChooseFontA(&chooser)) {
      FontChange change{};
      change.format.cbSize = sizeof change.format;
      change.format.dwMask = CFM_FACE | CFM_SIZE | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE;
      change.format.yHeight = chooser.iPointSize * 2;
      change.format.dwEffects = 0;
      CopyLimited(change.format.szFaceName, sizeof change.format.szFaceName, font.lfFaceName);
      g_settings.fontName = change.format.szFaceName;
      g_settings.fontSize = change.format.yHeight;
      g_settings.fontEffects = 0;
      if (mdiClient) EnumChildWindows(mdiClient, ApplyFont, reinterpret_cast<LPARAM>(&change));
    }
  }
  if (start && IsWindow(start)) SendMessageA(mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(start), 0);
}

}  // namespace quillon
