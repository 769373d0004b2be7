// The frame window: menus, accelerators, status bar, toolbar, window commands and boxes.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/layout.h"
#include "assemble/output_pane.h"
#include "project/file_pane.h"
#include "resource.h"
#include "support/dialog_answerer.h"
#include "support/gui_fixture.h"
#include "support/test_files.h"
#include "ui/app_state.h"
#include "ui/dropped_file.h"
#include "ui/reporting.h"

namespace quillon::test {
namespace frame_test {

std::string MenuText(HMENU menu, int position) {
  char text[256] = "";
  GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
  return text;
}

struct Item {
  int id;  // 0 for a separator, -1 for a submenu
  const char* text;
};

struct Popup {
  const char* title;
  std::vector<Item> items;
};

const std::vector<Popup>& MenuBar() {
  static const std::vector<Popup> bar = {
      {"&File",
       {{4001, "&New\tCtrl+N"},
        {4002, "&Open...\tCtrl+O"},
        {4003, "&Save\tCtrl+S"},
        {4004, "Save &As..."},
        {4005, "Save Al&l\tCtrl+L"},
        {0, ""},
        {4006, "New &Project"},
        {4007, "Open Pro&ject..."},
        {0, ""},
        {-1, "Recent Files"},
        {-1, "Recent Projects"},
        {0, ""},
        {4008, "E&xit"}}},
      {"&Edit",
       {{42000, "&Undo\tCtrl+Z"},
        {42001, "R&edo\tCtrl+Y"},
        {0, ""},
        {42002, "Cu&t\tCtrl+X"},
        {42003, "&Copy\tCtrl+C"},
        {42004, "&Paste\tCtrl+V"},
        {42005, "&Delete\tDel"},
        {0, ""},
        {42006, "Select &All\tCtrl+A"},
        {0, ""},
        {40046, "&Find\tCtrl+F"},
        {40048, "Find &Next\tF3"},
        {40045, "Search and &Replace\tCtrl+H"},
        {IDM_EDIT_FINDPREV, "Find &Previous\tShift+F3"},
        {0, ""},
        {IDM_EDIT_GOTOLINE, "&Go to Line...\tCtrl+G"},
        {IDM_EDIT_GOTODEFINITION, "Go to &Definition\tF12"},
        {IDM_EDIT_GOBACK, "Go &Back\tAlt+Left"},
        {IDM_EDIT_GOTOSYMBOL, "Go to S&ymbol...\tCtrl+Shift+O"},
        {IDM_EDIT_FINDREFERENCES, "Find All Re&ferences\tShift+F12"},
        {IDM_EDIT_RENAMESYMBOL, "Rena&me Symbol...\tF2"},
        {IDM_EDIT_COMPLETE, "Complete &Word\tCtrl+Space"}}},
      {"&Tools",
       {{5000, "&Font"},
        {40043, "Show Out&put Pane"},
        {IDM_TOOLS_LINENUMBERS, "Line &Numbers"},
        {IDM_TOOLS_CYCLECOLUMN, "&Addresses and Cycles"},
        {0, ""},
        {5001, "IDE &Options"}}},
      {"&Project",
       {{9000, "Add &Source Files"},
        {9001, "Add &Include Files"},
        {9002, "Add &Other Files"},
        {9003, "&Remove Selected Files"},
        {0, ""},
        {9004, "Project &Settings"},
        {0, ""},
        {42200, "&Close Project"}}},
      {"&Build",
       {{IDM_BUILD, "&Build\tF7"},
        {IDM_BUILD_STOP, "&Stop Build\tCtrl+Break"},
        {IDM_BUILD_RUN, "&Run\tF5"},
        {0, ""},
        {IDM_BUILD_NEXTERROR, "Next &Error\tF4"},
        {IDM_BUILD_PREVERROR, "&Previous Error\tShift+F4"},
        {0, ""},
        {IDM_BUILD_MEMORYMAP, "&Memory Map"}}},
      {"&Debug",
       {{IDM_DEBUG_START, "&Start Debugging\tAlt+F5"},
        {IDM_DEBUG_STOP, "S&top Debugging\tShift+F5"},
        {IDM_DEBUG_BREAK, "&Break\tPause"},
        {IDM_DEBUG_CONTINUE, "&Continue\tF8"},
        {0, ""},
        {IDM_DEBUG_STEPINTO, "Step &Into\tF11"},
        {IDM_DEBUG_STEPOVER, "Step &Over\tF10"},
        {IDM_DEBUG_STEPOUT, "Step O&ut\tShift+F11"},
        {IDM_DEBUG_RUNTOCURSOR, "&Run to Cursor\tCtrl+F10"},
        {0, ""},
        {IDM_DEBUG_TOGGLEBREAKPOINT, "Toggle Break&point\tF9"},
        {IDM_DEBUG_PANES, "Debugger &Panes"}}},
      {"&Macros",
       {{8000, "Command 1\tCtrl+F5"},
        {8001, "Command 2\tCtrl+F6"},
        {8002, "Command 3\tCtrl+F7"},
        {8003, "Command 4\tCtrl+F8"},
        {0, ""},
        {8004, "Macro &Options"}}},
      {"&Window",
       {{7000, "&Cascade"}, {7001, "Tile &Horizontally"}, {7002, "Tile &Vertically"}, {0, ""}, {7003, "Close Al&l"}}},
      {"&Help",
       {{IDM_HELP_GUIDE, "&User Guide\tF1"}, {IDM_HELP_SHORTCUTS, "&Keyboard Shortcuts"}, {0, ""}, {6000, "&About"}}},
  };
  return bar;
}

TEST_F(FrameTest, FrameHasItsTitleClassAndFullMenuBar) {
  EXPECT_EQ(WindowText(frame_), "Quillon Intellivision IDE");
  char cls[64] = "";
  GetClassNameA(frame_, cls, sizeof cls);
  EXPECT_STREQ(cls, "QUILLON_FRAME");

  HMENU bar = GetMenu(frame_);
  const auto& expected = MenuBar();
  ASSERT_EQ(GetMenuItemCount(bar), static_cast<int>(expected.size()));
  for (int p = 0; p < static_cast<int>(expected.size()); ++p) {
    EXPECT_EQ(MenuText(bar, p), expected[p].title);
    HMENU popup = GetSubMenu(bar, p);
    const auto& items = expected[p].items;
    // The MDI client may append its document list to the Window popup; compare the fixed part.
    ASSERT_GE(GetMenuItemCount(popup), static_cast<int>(items.size())) << expected[p].title;
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
      UINT state = GetMenuState(popup, i, MF_BYPOSITION);
      if (items[i].id == 0) {
        EXPECT_TRUE(state & MF_SEPARATOR) << expected[p].title << " " << i;
      } else if (items[i].id == -1) {
        EXPECT_NE(GetSubMenu(popup, i), nullptr) << items[i].text;
        EXPECT_EQ(MenuText(popup, i), items[i].text);
      } else {
        EXPECT_EQ(static_cast<int>(GetMenuItemID(popup, i)), items[i].id) << items[i].text;
        EXPECT_EQ(MenuText(popup, i), items[i].text);
      }
    }
  }
  EXPECT_EQ(GetMenuState(bar, IDM_TOOLS_OUTPUTPANE, MF_BYCOMMAND) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
  EXPECT_TRUE(GetMenuState(bar, IDM_FILE_SAVE, MF_BYCOMMAND) & MF_GRAYED) << "no document: Save is grey";
}

TEST_F(FrameTest, AcceleratorsBindEveryKey) {
  HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_ACCELERATORS));
  ASSERT_NE(table, nullptr);
  ACCEL keys[64];
  int n = CopyAcceleratorTableA(table, keys, 64);
  struct Binding {
    BYTE modifiers;
    WORD key;
    WORD command;
  };
  const Binding expected[] = {
      {FCONTROL, 'F', 40046},
      {FCONTROL, 'H', 40045},
      {FCONTROL, 'L', 4005},
      {FCONTROL, 'N', 4001},
      {FCONTROL, 'O', 4002},
      {FCONTROL, 'S', 4003},
      {0, VK_ESCAPE, 40043},
      {0, VK_F3, 40048},
      {FCONTROL, VK_F5, 8000},
      {FCONTROL, VK_F6, 8001},
      {0, VK_F7, 40038},
      {FCONTROL, VK_F7, 8002},
      {FCONTROL, VK_F8, 8003},
      {FCONTROL, VK_CANCEL, IDM_BUILD_STOP},  // Ctrl+Break
      {0, VK_F5, IDM_BUILD_RUN},
      {0, VK_F4, IDM_BUILD_NEXTERROR},
      {FSHIFT, VK_F4, IDM_BUILD_PREVERROR},
      {FSHIFT, VK_F3, IDM_EDIT_FINDPREV},
      {FCONTROL, 'G', IDM_EDIT_GOTOLINE},
      {0, VK_F12, IDM_EDIT_GOTODEFINITION},
      {FALT, VK_LEFT, IDM_EDIT_GOBACK},
      {FCONTROL, VK_OEM_MINUS, IDM_EDIT_GOBACK},
      {FCONTROL | FSHIFT, 'O', IDM_EDIT_GOTOSYMBOL},
      {FSHIFT, VK_F12, IDM_EDIT_FINDREFERENCES},
      {0, VK_F2, IDM_EDIT_RENAMESYMBOL},
      {FCONTROL, VK_SPACE, IDM_EDIT_COMPLETE},
      {0, VK_F1, IDM_HELP_GUIDE},
      {FALT, VK_F5, IDM_DEBUG_START},
      {FSHIFT, VK_F5, IDM_DEBUG_STOP},
      {0, VK_PAUSE, IDM_DEBUG_BREAK},
      {0, VK_F8, IDM_DEBUG_CONTINUE},
      {0, VK_F11, IDM_DEBUG_STEPINTO},
      {0, VK_F10, IDM_DEBUG_STEPOVER},
      {FSHIFT, VK_F11, IDM_DEBUG_STEPOUT},
      {FCONTROL, VK_F10, IDM_DEBUG_RUNTOCURSOR},
      {0, VK_F9, IDM_DEBUG_TOGGLEBREAKPOINT},
  };
  ASSERT_EQ(n, static_cast<int>(sizeof expected / sizeof expected[0]));
  for (const Binding& b : expected) {
    bool found = false;
    for (int i = 0; i < n; ++i)
      found |= keys[i].key == b.key && keys[i].cmd == b.command &&
               (keys[i].fVirt & (FCONTROL | FVIRTKEY | FSHIFT | FALT)) == (b.modifiers | FVIRTKEY);
    EXPECT_TRUE(found) << "command " << b.command;
  }
  DestroyAcceleratorTable(table);
}

// The simple-mode text of the status bar (Windows reads it as part 255, Wine as part 0).
std::string StatusText(HWND status) {
  char text[512] = "";
  SendMessageA(status, SB_GETTEXTA, 255, reinterpret_cast<LPARAM>(text));
  if (!text[0]) SendMessageA(status, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  return text;
}

TEST_F(FrameTest, MenuHelpShowsTheStringOfTheHighlightedItem) {
  HMENU bar = GetMenu(frame_);
  struct Case {
    int popup;
    int item;  // a command ID, or -1 for the popup itself
    const char* expected;
  };
  const Case cases[] = {
      {0, 4001, "Create a new document"},
      {0, 4008, "Exit this great program"},
      {2, 5001, "Change IDE options"},
      {3, 9004, "Edit project settings"},
      {6, 8003, "Execute macro 4"},
      {7, 7003, "Close all document windows"},
      {8, 6000, "All about this great program"},
      {0, -1, "Create, open, save files, exit program..."},
      {8, -1, "Get some help"},
  };
  for (const Case& c : cases) {
    if (c.item < 0) {
      SendMessageA(frame_, WM_MENUSELECT, MAKEWPARAM(c.popup, MF_POPUP), reinterpret_cast<LPARAM>(bar));
    } else {
      SendMessageA(frame_, WM_MENUSELECT, MAKEWPARAM(c.item, 0), reinterpret_cast<LPARAM>(GetSubMenu(bar, c.popup)));
    }
    EXPECT_TRUE(SendMessageA(g_app.statusBar, SB_ISSIMPLE, 0, 0)) << c.expected;
    EXPECT_EQ(StatusText(g_app.statusBar), c.expected);
  }
  // A submenu that is not in the table keeps the text shown.
  HMENU recent = GetSubMenu(GetSubMenu(bar, 0), 9);
  SendMessageA(frame_, WM_MENUSELECT, MAKEWPARAM(10000, 0), reinterpret_cast<LPARAM>(recent));
  EXPECT_EQ(StatusText(g_app.statusBar), "Get some help");
  // The system menu has no help: what an item showed before is cleared.
  SendMessageA(frame_, WM_MENUSELECT, MAKEWPARAM(SC_CLOSE, MF_SYSMENU),
               reinterpret_cast<LPARAM>(GetSystemMenu(frame_, FALSE)));
  EXPECT_TRUE(SendMessageA(g_app.statusBar, SB_ISSIMPLE, 0, 0));
  EXPECT_EQ(StatusText(g_app.statusBar), "");
  // Closing the menu leaves simple mode.
  SendMessageA(frame_, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  EXPECT_FALSE(SendMessageA(g_app.statusBar, SB_ISSIMPLE, 0, 0));
}

TEST_F(FrameTest, StatusBarHasSixPartsFromTheRightEdge) {
  SetWindowPos(frame_, nullptr, 0, 0, 900, 600, SWP_NOZORDER | SWP_NOMOVE);
  PumpMessages(20);
  RECT client;
  GetClientRect(frame_, &client);
  int w = client.right;
  int edges[8] = {};
  ASSERT_EQ(SendMessageA(g_app.statusBar, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)), 6);
  const int caret = CaretPartWidth();
  const int expected[6] = {w - 200 - caret, w - 200, w - 170, w - 140, w - 110, w - 20};  // the last: line ends
  for (int i = 0; i < 6; ++i) EXPECT_EQ(edges[i], expected[i]) << i;

  // The "Ln, Col" part holds its longest text, ten-digit line and column, uncut.
  HDC dc = GetDC(g_app.statusBar);
  HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(g_app.statusBar, WM_GETFONT, 0, 0)));
  for (const char* text :
       {" Ln 88888, Col 88888", " Ln 2147483647, Col 2147483647", " Ln 8888888888, Col 8888888888"}) {
    SIZE size{};
    GetTextExtentPoint32A(dc, text, static_cast<int>(strlen(text)), &size);
    RECT part{};
    SendMessageA(g_app.statusBar, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&part));
    EXPECT_GT(part.right - part.left, size.cx + 4) << text;
  }
  SelectObject(dc, previous);
  ReleaseDC(g_app.statusBar, dc);

  // The MDI client fills the space between the toolbar, the file pane and the output pane.
  RECT tb, pane, files, mdi;
  GetWindowRect(g_app.toolBar, &tb);
  GetWindowRect(g_app.outputPane->Window(), &pane);
  GetWindowRect(g_app.filePane->Window(), &files);
  GetWindowRect(g_app.mdiClient, &mdi);
  POINT origin{0, 0};
  ClientToScreen(frame_, &origin);
  EXPECT_EQ(mdi.top - origin.y, tb.bottom - tb.top);
  EXPECT_EQ(mdi.bottom, pane.top);
  EXPECT_EQ(mdi.left, files.right);
  EXPECT_EQ(mdi.right - origin.x, w);
}

TEST_F(FrameTest, ToolbarButtonsAndTooltips) {
  ASSERT_NE(g_app.toolBar, nullptr);
  const int commands[] = {4001, 0, 4002, 4007, 4003, 4005, 0, IDM_BUILD, IDM_BUILD_RUN, IDM_BUILD_STOP};
  ASSERT_EQ(SendMessageA(g_app.toolBar, TB_BUTTONCOUNT, 0, 0), 10);
  for (int i = 0; i < 10; ++i) {
    TBBUTTON button{};
    SendMessageA(g_app.toolBar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
    EXPECT_EQ(button.idCommand, commands[i]) << i;
  }
  EXPECT_FALSE(SendMessageA(g_app.toolBar, TB_ISBUTTONENABLED, IDM_FILE_SAVE, 0)) << "no document: Save is off";

  struct Case {
    UINT_PTR command;
    int text;  // 0: left as it came
  };
  const Case cases[] = {{4001, 4051}, {4002, 4052}, {4003, 4053},
                        {4004, 4054}, {4005, 4055}, {4007, 4057},
                        {4006, 0},    {9000, 0},    {IDM_BUILD_RUN, IDM_BUILD_RUN}};
  for (const Case& c : cases) {
    NMTTDISPINFOA info{};
    info.hdr.hwndFrom = nullptr;
    info.hdr.idFrom = c.command;
    info.hdr.code = TTN_NEEDTEXTA;
    char original[] = "unchanged";
    info.lpszText = original;
    SendMessageA(frame_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    if (c.text) {
      EXPECT_EQ(info.hinst, GetModuleHandleA(nullptr));
      EXPECT_EQ(info.lpszText, MAKEINTRESOURCEA(c.text)) << c.command;
      char loaded[128] = "";
      EXPECT_GT(LoadStringA(info.hinst, c.text, loaded, sizeof loaded), 0);
    } else {
      EXPECT_EQ(info.lpszText, original) << c.command;
    }
  }
}

HWND NewChild(const char* title) {
  MDICREATESTRUCTA mcs{};
  mcs.szClass = kDocumentClass;
  mcs.szTitle = title;
  mcs.hOwner = GetModuleHandleA(nullptr);
  mcs.x = mcs.y = mcs.cx = mcs.cy = CW_USEDEFAULT;
  return reinterpret_cast<HWND>(SendMessageA(g_app.mdiClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
}

RECT ChildRect(HWND child) { return RectIn(child, g_app.mdiClient); }

TEST_F(FrameTest, WindowCommandsArrangeTheDocumentWindows) {
  HWND a = NewChild("a"), b = NewChild("b");
  ASSERT_TRUE(a && b);
  RECT client;
  GetClientRect(g_app.mdiClient, &client);

  Command(IDM_WINDOW_TILEHORZ);  // one above the other, full width
  RECT ra = ChildRect(a), rb = ChildRect(b);
  EXPECT_EQ(ra.right - ra.left, client.right);
  EXPECT_EQ(rb.right - rb.left, client.right);
  EXPECT_NE(ra.top, rb.top);

  Command(IDM_WINDOW_TILEVERT);  // side by side, full height
  ra = ChildRect(a), rb = ChildRect(b);
  EXPECT_EQ(ra.bottom - ra.top, client.bottom);
  EXPECT_NE(ra.left, rb.left);

  Command(IDM_WINDOW_CASCADE);  // overlapping, each shifted from the other
  ra = ChildRect(a), rb = ChildRect(b);
  EXPECT_NE(ra.left, rb.left);
  EXPECT_NE(ra.top, rb.top);
  EXPECT_LT(ra.right - ra.left, client.right);

  // The Window popup lists the open documents.
  HMENU window = GetSubMenu(GetMenu(frame_), 5);
  EXPECT_GT(GetMenuItemCount(window), 5);
}

TEST_F(FrameTest, ExitClosesTheFrameAndPostsQuitWithZero) {
  Command(IDM_FILE_EXIT);
  EXPECT_TRUE(IsWindow(frame_)) << "Exit posts the close, it does not close at once";
  MSG msg{};
  bool quit = false;
  for (int i = 0; i < 200 && !quit; ++i) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        quit = true;
        break;
      }
      DispatchMessageA(&msg);
    }
    Sleep(5);
  }
  EXPECT_TRUE(quit);
  EXPECT_EQ(msg.wParam, 0u);
  EXPECT_FALSE(IsWindow(frame_));
}

TEST_F(FrameTest, SearchAndReplaceWithoutADocumentIsAcceptedAndDoesNothing) {
  // Ctrl+H with no document open: accepted, nothing happens (no box, no window).
  DialogAnswerer answerer(DialogAnswerer::Press(IDOK));
  EXPECT_EQ(SendMessageA(frame_, WM_COMMAND, MAKEWPARAM(IDM_EDIT_REPLACE, 1), 0), 0);
  PumpMessages(100);
  EXPECT_TRUE(answerer.Seen().empty());
  EXPECT_TRUE(IsWindow(frame_));
}

TEST(LastErrorBox, ShowsTheSystemTextWithTheCaption) {
  char expected[512] = "";
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_FILE_NOT_FOUND, 0, expected,
                 sizeof expected, nullptr);
  ASSERT_NE(expected[0], '\0');
  DialogAnswerer answerer(DialogAnswerer::Press(IDOK));
  SetLastError(ERROR_FILE_NOT_FOUND);
  ShowLastErrorBox("CreateProcess Failure");
  auto seen = answerer.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].caption, "CreateProcess Failure");
  // Message boxes may trim the trailing line break of the system text.
  std::string text = expected;
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  EXPECT_EQ(seen[0].text.substr(0, text.size()), text);
}

TEST_F(FrameTest, DroppingTwoFilesShowsOneErrorBox) {
  DialogAnswerer answerer(DialogAnswerer::Press(IDOK));
  SendMessageA(frame_, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({"C:\\a.asm", "C:\\b.qlp"})), 0);
  PumpMessages(100);
  auto seen = answerer.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].caption, "Error");
  EXPECT_EQ(seen[0].text, "Please only drop one file at a time");
}

TEST_F(FrameTest, ADroppedPathIsTakenWholeOrRefusedWithABox) {
  for (std::size_t length : {259u, 260u, 261u, 4000u}) {
    std::string dropped = "C:\\";
    while (dropped.size() < length - 4) dropped += dropped.size() % 40 ? 'd' : '\\';
    dropped += ".asm";
    DialogAnswerer answerer(DialogAnswerer::Press(IDOK));
    std::string path = "before";
    const bool taken = TakeDroppedFile(frame_, MakeDrop({dropped}), path);
    PumpMessages(50);
    auto seen = answerer.Seen();
    if (length <= 259) {
      EXPECT_TRUE(taken) << length;
      EXPECT_EQ(path, dropped) << length;
      EXPECT_TRUE(seen.empty()) << length;
    } else {
      EXPECT_FALSE(taken) << length;
      EXPECT_EQ(path, "before") << length;
      ASSERT_EQ(seen.size(), 1u) << length;
      EXPECT_EQ(seen[0].caption, "Error");
      EXPECT_EQ(seen[0].text, "The path of the dropped file is too long to open (" + std::to_string(length) +
                                  " characters, at most 259).");
    }
  }
}

TEST(WindowClasses, DocumentClassKeepsRoomForItsRecord) {
  WNDCLASSEXA info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), "QUILLON_CHILD", &info));
  EXPECT_EQ(info.cbWndExtra, 304);
  EXPECT_NE(info.hIcon, nullptr);
  ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), "QUILLON_FRAME", &info));
  EXPECT_NE(info.hIcon, nullptr);
  EXPECT_NE(info.lpszMenuName, nullptr);
}

}  // namespace frame_test
}  // namespace quillon::test
