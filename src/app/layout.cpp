#include "app/layout.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "app/pane_sizes.h"
#include "assemble/output_pane.h"
#include "editor/caret_and_font.h"
#include "editor/editor.h"
#include "project/file_pane.h"
#include "resource.h"
#include "ui/app_state.h"
#include "ui/dpi.h"

namespace quillon {

namespace {

struct MenuHelpEntry {
  HMENU popup;
  int offset;
};
std::vector<MenuHelpEntry> g_menuHelp;
bool g_firstLayout = true;

int WindowHeight(HWND window) {
  RECT r{};
  if (!window || !GetWindowRect(window, &r)) return 0;
  return r.bottom - r.top;
}

int WindowWidth(HWND window) {
  RECT r{};
  if (!window || !GetWindowRect(window, &r)) return 0;
  return r.right - r.left;
}

// MoveWindow with repainting, skipped when the window is already there: each move of a
// document's edit control re-lays out its whole text.
void MoveIfChanged(HWND window, int x, int y, int width, int height) {
  if (!window) return;
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  RECT r{};
  GetWindowRect(window, &r);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
  if (r.left == x && r.top == y && r.right - r.left == width && r.bottom - r.top == height) return;
  MoveWindow(window, x, y, width, height, TRUE);
}

HWND FilePaneWindow() {
  return g_app.filePane && IsWindow(g_app.filePane->Window()) ? g_app.filePane->Window() : nullptr;
}

int ShownOutputPaneHeight() {
  OutputPane* pane = g_app.outputPane;
  return pane && pane->IsShown() ? WindowHeight(pane->Window()) : 0;
}

const MenuHelpEntry* FindPopup(HMENU popup) {
  for (const MenuHelpEntry& e : g_menuHelp)
    if (e.popup == popup) return &e;
  return nullptr;
}

void ShowHelpString(int id) {
  char text[256] = "";
  if (id <= 0 || !LoadStringA(g_app.instance, id, text, sizeof text)) text[0] = '\0';
  SendMessageA(g_app.statusBar, SB_SETTEXTA, 255 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(text));
  SendMessageA(g_app.statusBar, SB_SIMPLE, TRUE, 0);
}

}  // namespace

HWND CreateToolbar(HWND frame) {
  HWND bar =
      CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER | TBSTYLE_TOOLTIPS | CCS_TOP,
                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, frame,
                      reinterpret_cast<HMENU>(IDC_TOOLBAR), g_app.instance, nullptr);
  g_app.toolBar = bar;
  if (!bar) return nullptr;
  SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);

  // From 150 % on, the system's large images and our strip stretched to their size.
  const bool large = ScreenDpi() >= 144;
  const int side = large ? 24 : 16;
  SendMessageA(bar, TB_SETBITMAPSIZE, 0, MAKELPARAM(side, side));
  TBADDBITMAP standard{HINST_COMMCTRL, static_cast<UINT_PTR>(large ? IDB_STD_LARGE_COLOR : IDB_STD_SMALL_COLOR)};
  SendMessageA(bar, TB_ADDBITMAP, 15, reinterpret_cast<LPARAM>(&standard));
  TBADDBITMAP own{g_app.instance, IDB_TOOLBAR};
  HBITMAP stretched = nullptr;
  if (large) {
    stretched = static_cast<HBITMAP>(
        LoadImageA(g_app.instance, MAKEINTRESOURCEA(IDB_TOOLBAR), IMAGE_BITMAP, 5 * side, side, LR_LOADMAP3DCOLORS));
    // The toolbar draws from this bitmap for as long as it lives.
    if (stretched) own = TBADDBITMAP{nullptr, reinterpret_cast<UINT_PTR>(stretched)};
  }
  SendMessageA(bar, TB_ADDBITMAP, 5, reinterpret_cast<LPARAM>(&own));

  // Standard images 0-14, then our strip at 15-19.
  TBBUTTON buttons[] = {
      {STD_FILENEW, IDM_FILE_NEW, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
      {0, 0, TBSTATE_ENABLED, BTNS_SEP, {}, 0, 0},
      {STD_FILEOPEN, IDM_FILE_OPEN, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
      {18, IDM_FILE_OPENPROJECT, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
      {STD_FILESAVE, IDM_FILE_SAVE, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
      {15, IDM_FILE_SAVEALL, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
      {0, 0, TBSTATE_ENABLED, BTNS_SEP, {}, 0, 0},
      {16, IDM_BUILD, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
      {17, IDM_BUILD_RUN, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
      {19, IDM_BUILD_STOP, 0, BTNS_BUTTON, {}, 0, 0},
  };
  SendMessageA(bar, TB_ADDBUTTONSA, sizeof buttons / sizeof buttons[0], reinterpret_cast<LPARAM>(buttons));
  return bar;
}

void SetupMenuHelp(HMENU menu) {
  g_menuHelp.clear();
  g_menuHelp.push_back({menu, kMenuHelpOffsets[0]});
  int count = GetMenuItemCount(menu);
  for (int i = 0; i < count && i < static_cast<int>(sizeof kMenuHelpOffsets / sizeof(int)); ++i) {
    if (kMenuHelpOffsets[i] == 0) continue;
    g_menuHelp.push_back({GetSubMenu(menu, i), kMenuHelpOffsets[i]});
  }
}

// The help string of a command is its ID plus the offset of the popup that holds it; a popup
// shows the string numbered by its own offset. Done here rather than through the common
// controls' MenuHelp, whose offset handling differs between systems.
void ShowMenuHelp(HWND, WPARAM wParam, LPARAM lParam) {
  UINT flags = HIWORD(wParam);
  UINT item = LOWORD(wParam);
  HMENU menu = reinterpret_cast<HMENU>(lParam);
  if (flags == 0xFFFF && menu == nullptr) {  // the menu has closed
    SendMessageA(g_app.statusBar, SB_SIMPLE, FALSE, 0);
    return;
  }
  if (flags & MF_SYSMENU) {  // no help for the system menu
    ShowHelpString(0);
    return;
  }
  if (flags & MF_POPUP) {
    const MenuHelpEntry* entry = FindPopup(GetSubMenu(menu, static_cast<int>(item)));
    ShowHelpString(entry ? entry->offset : 0);
    return;
  }
  const MenuHelpEntry* entry = FindPopup(menu);
  if (!entry) return;  // a submenu such as Recent Files: keep what is shown
  ShowHelpString(static_cast<int>(item) + entry->offset);
}

void UpdateBuildCommands() {
  const bool running = g_app.buildThread != nullptr;
  HWND frame = FrameWindow();
  for (int id : {IDM_BUILD, IDM_BUILD_RUN, IDM_BUILD_STOP}) {
    const bool on = (id == IDM_BUILD_STOP) == running;
    if (frame) EnableMenuItem(GetMenu(frame), id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
    if (g_app.toolBar) SendMessageA(g_app.toolBar, TB_ENABLEBUTTON, id, MAKELPARAM(on ? TRUE : FALSE, 0));
  }
}

int CaretPartWidth() {
  HWND bar = g_app.statusBar;
  const int least = Scaled(100);
  HDC dc = bar ? GetDC(bar) : nullptr;
  if (!dc) return least;
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(bar, WM_GETFONT, 0, 0));
  HGDIOBJ previous = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
  // The line and the column are 32-bit counts: ten digits at most, each as wide as the widest.
  char widest = '0';
  int widestWidth = 0;
  for (char digit = '0'; digit <= '9'; ++digit) {
    SIZE size{};
    if (GetTextExtentPoint32A(dc, &digit, 1, &size) && size.cx > widestWidth) widest = digit, widestWidth = size.cx;
  }
  const std::string digits(10, widest);
  const std::string longest = " Ln " + digits + ", Col " + digits;
  SIZE size{};
  GetTextExtentPoint32A(dc, longest.c_str(), static_cast<int>(longest.size()), &size);
  SelectObject(dc, previous);
  ReleaseDC(bar, dc);
  int borders[3] = {};  // horizontal, vertical, between parts
  SendMessageA(bar, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
  const int needed = size.cx + 2 * borders[0] + borders[2] + Scaled(6);
  return needed > least ? needed : least;
}

void SetStatusParts(int width) {
  // Help, Ln/Col, CAP, INS/OVR, NUM, line ends, measured from the right edge.
  int edges[6] = {width - Scaled(200) - CaretPartWidth(),
                  width - Scaled(200),
                  width - Scaled(170),
                  width - Scaled(140),
                  width - Scaled(110),
                  width - Scaled(20)};
  SendMessageA(g_app.statusBar, SB_SETPARTS, 6, reinterpret_cast<LPARAM>(edges));
}

void FrameSizeChanged(HWND frame, WPARAM sizeType, int width, int height) {
  if (sizeType == SIZE_MINIMIZED) return;  // nothing is visible; the sizes come back on restore
  SendMessageA(g_app.toolBar, TB_AUTOSIZE, 0, 0);
  SetStatusParts(width);
  SendMessageA(g_app.statusBar, WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height));
  ShowCaretPosition(g_app.activeDocument);
  const int toolbarHeight = WindowHeight(g_app.toolBar);
  const int statusHeight = WindowHeight(g_app.statusBar);
  OutputPane* pane = g_app.outputPane;
  HWND filePane = FilePaneWindow();
  const int border = g_app.frameBorder;

  // At first the file pane takes a fifth of the width and the output pane a quarter of the
  // height (FirstPaneSizes); after that each keeps whatever size the user dragged it to.
  int paneWidth = WindowWidth(filePane);
  int paneHeight = pane ? WindowHeight(pane->Window()) : 0;
  if (g_firstLayout) {
    g_firstLayout = false;
    const PaneSizes first = FirstPaneSizes(width, height, ScreenDpi());
    paneWidth = first.fileWidth + border;
    paneHeight = first.outputHeight;
  }
  int middle = height - statusHeight - toolbarHeight;
  if (pane && pane->IsShown()) {
    middle -= paneHeight;
    // Its left and right sizing borders lie just outside the client area.
    MoveIfChanged(pane->Window(), -border, toolbarHeight + middle, width + 2 * border, paneHeight);
  }
  // The file pane's left sizing border lies just outside the client area too.
  MoveIfChanged(filePane, -border, toolbarHeight, paneWidth, middle);
  // A change of width alone leaves the file pane as it was: fit the MDI client here as well.
  FitMdiClient(width, height);
  (void)frame;
}

// The MDI client starts at the file pane's right edge and ends at the frame's right edge.
void FitMdiClient(int width, int height) {
  HWND filePane = FilePaneWindow();
  const int paneWidth = WindowWidth(filePane);
  const int left = filePane ? paneWidth - g_app.frameBorder : 0;
  const int toolbarHeight = WindowHeight(g_app.toolBar);
  MoveIfChanged(g_app.mdiClient, left, toolbarHeight, width - left,
                height - ShownOutputPaneHeight() - WindowHeight(g_app.statusBar) - toolbarHeight);
}

// The file pane keeps its width and reaches down to the output pane or the status bar.
void FitFilePane(int height) {
  HWND frame = FrameWindow();
  RECT client{};
  if (!frame || !GetClientRect(frame, &client)) return;
  const int toolbarHeight = WindowHeight(g_app.toolBar);
  if (HWND filePane = FilePaneWindow())
    MoveIfChanged(filePane, -g_app.frameBorder, toolbarHeight, WindowWidth(filePane),
                  height - WindowHeight(g_app.statusBar) - toolbarHeight - ShownOutputPaneHeight());
  FitMdiClient(client.right, height);
}

void ResetFirstLayout() { g_firstLayout = true; }

// Esc only ever hides the pane; the menu item alternates and carries the check mark.
void ToggleOutputPane(HWND frame, bool fromAccelerator) {
  OutputPane* pane = g_app.outputPane;
  if (!pane) return;
  (void)frame;
  // Decided by the pane itself: a build may have shown it since the item was last chosen.
  if (fromAccelerator || pane->IsShown()) {
    pane->Hide();
    if (HWND text = DocumentTextControl(g_app.activeDocument)) SetFocus(text);
  } else {
    pane->Show();
  }
}

// The output pane was shown, hidden or resized. Showing places it for the frame's present size
// (it may have changed while the pane was hidden), and the check mark of 40043 follows the pane.
void RefitPanes() {
  HWND frame = FrameWindow();
  RECT r{};
  if (!frame || !GetClientRect(frame, &r)) return;
  OutputPane* pane = g_app.outputPane;
  if (pane && pane->IsShown()) {
    const int height = WindowHeight(pane->Window());
    const int border = g_app.frameBorder;
    MoveIfChanged(pane->Window(), -border, r.bottom - WindowHeight(g_app.statusBar) - height, r.right + 2 * border,
                  height);
  }
  if (pane)
    CheckMenuItem(GetMenu(frame), IDM_TOOLS_OUTPUTPANE, MF_BYCOMMAND | (pane->IsShown() ? MF_CHECKED : MF_UNCHECKED));
  FitFilePane(r.bottom);
}

void SetSaveEnabled(bool on) {
  HWND frame = FrameWindow();
  if (frame) EnableMenuItem(GetMenu(frame), IDM_FILE_SAVE, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
  if (g_app.toolBar) SendMessageA(g_app.toolBar, TB_ENABLEBUTTON, IDM_FILE_SAVE, MAKELPARAM(on ? TRUE : FALSE, 0));
}

}  // namespace quillon
