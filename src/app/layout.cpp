#include "app/layout.h"

#include <commctrl.h>

#include <vector>

#include "app/app_state.h"
#include "resource.h"

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
  HWND bar = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER | TBSTYLE_TOOLTIPS | CCS_TOP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, frame,
                             reinterpret_cast<HMENU>(IDC_TOOLBAR), g_app.instance, nullptr);
  g_app.toolBar = bar;
  if (!bar) return nullptr;
  SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);

  TBADDBITMAP standard{HINST_COMMCTRL, IDB_STD_SMALL_COLOR};
  SendMessageA(bar, TB_ADDBITMAP, 15, reinterpret_cast<LPARAM>(&standard));
  TBADDBITMAP own{g_app.instance, IDB_TOOLBAR};
  SendMessageA(bar, TB_ADDBITMAP, 4, reinterpret_cast<LPARAM>(&own));

  // Standard images 0-14, then our strip at 15-18.
  TBBUTTON buttons[] = {
      {STD_FILENEW, IDM_FILE_NEW, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
      {0, 0, TBSTATE_ENABLED, BTNS_SEP, {}, 0, 0},
      {STD_FILEOPEN, IDM_FILE_OPEN, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
      {18, IDM_FILE_OPENPROJECT, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
      {STD_FILESAVE, IDM_FILE_SAVE, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
      {15, IDM_FILE_SAVEALL, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
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
  if (flags & MF_SYSMENU) return;
  if (flags & MF_POPUP) {
    const MenuHelpEntry* entry = FindPopup(GetSubMenu(menu, static_cast<int>(item)));
    ShowHelpString(entry ? entry->offset : 0);
    return;
  }
  const MenuHelpEntry* entry = FindPopup(menu);
  if (!entry) return;  // a submenu such as Recent Files: keep what is shown
  ShowHelpString(static_cast<int>(item) + entry->offset);
}

void SetStatusParts(int width) {
  int edges[5] = {width - 210, width - 110, width - 80, width - 50, width - 20};
  SendMessageA(g_app.statusBar, SB_SETPARTS, 5, reinterpret_cast<LPARAM>(edges));
}

void FrameSizeChanged(HWND frame, int width, int height) {
  SendMessageA(g_app.toolBar, TB_AUTOSIZE, 0, 0);
  SetStatusParts(width);
  SendMessageA(g_app.statusBar, WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height));
  int toolbarHeight = WindowHeight(g_app.toolBar);
  int statusHeight = WindowHeight(g_app.statusBar);
  if (g_firstLayout) g_firstLayout = false;
  int middle = height - statusHeight - toolbarHeight;
  if (g_app.mdiClient) MoveWindow(g_app.mdiClient, 0, toolbarHeight, width, middle > 0 ? middle : 0, TRUE);
  (void)frame;
}

void EnableSave(bool on) {
  HWND frame = FrameWindow();
  if (frame) EnableMenuItem(GetMenu(frame), IDM_FILE_SAVE, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
  if (g_app.toolBar) SendMessageA(g_app.toolBar, TB_ENABLEBUTTON, IDM_FILE_SAVE, MAKELPARAM(on ? TRUE : FALSE, 0));
}

}  // namespace quillon
