// The file pane in a real frame: its place in the layout, its tree, opening, adding and removing
// files, and the Recent submenus that opening fills.
#include "project/file_pane.h"

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/frame.h"
#include "assemble/output_pane.h"
#include "base/recent_lists.h"
#include "base/registry_store_win.h"
#include "base/text_util.h"
#include "editor/editor.h"
#include "project/project.h"
#include "resource.h"
#include "support/dialog_answerer.h"
#include "support/gui_fixture.h"
#include "support/test_files.h"
#include "ui/app_state.h"
#include "ui/frame_hooks.h"

namespace quillon::test {
namespace file_pane_test {

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// The tree as text: one line per item, indented by depth, with its image index.
std::string TreeText(HWND tree, HTREEITEM item = TVI_ROOT, int depth = 0) {
  std::string text;
  HTREEITEM child = reinterpret_cast<HTREEITEM>(
      SendMessageA(tree, TVM_GETNEXTITEM, item == TVI_ROOT ? TVGN_ROOT : TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
  for (; child; child = reinterpret_cast<HTREEITEM>(
                    SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child)))) {
    char buffer[300] = "";
    TVITEMA tv{};
    tv.mask = TVIF_TEXT | TVIF_IMAGE;
    tv.hItem = child;
    tv.pszText = buffer;
    tv.cchTextMax = sizeof buffer;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    text += std::string(depth, ' ') + buffer + " #" + std::to_string(tv.iImage) + "\n";
    text += TreeText(tree, child, depth + 1);
  }
  return text;
}

HTREEITEM FindItem(HWND tree, const std::string& wanted, HTREEITEM item = TVI_ROOT) {
  HTREEITEM child = reinterpret_cast<HTREEITEM>(
      SendMessageA(tree, TVM_GETNEXTITEM, item == TVI_ROOT ? TVGN_ROOT : TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
  for (; child; child = reinterpret_cast<HTREEITEM>(
                    SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child)))) {
    char buffer[300] = "";
    TVITEMA tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = child;
    tv.pszText = buffer;
    tv.cchTextMax = sizeof buffer;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    if (wanted == buffer) return child;
    if (HTREEITEM found = FindItem(tree, wanted, child)) return found;
  }
  return nullptr;
}

std::vector<std::string> MenuLabels(HMENU menu, std::vector<int>* ids = nullptr) {
  std::vector<std::string> labels;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char buffer[300] = "";
    GetMenuStringA(menu, i, buffer, sizeof buffer, MF_BYPOSITION);
    labels.push_back(buffer);
    if (ids) ids->push_back(static_cast<int>(GetMenuItemID(menu, i)));
  }
  return labels;
}

std::string ActiveDocumentPath() {
  HWND document = IsDocumentWindow(g_app.activeDocument) ? g_app.activeDocument : nullptr;
  return document ? DocumentPath(document) : std::string();
}

class FilePaneTest : public FrameTest {
 protected:
  void SetUp() override {
    savedFiles_ = g_settings.recentFiles;
    savedProjects_ = g_settings.recentProjects;
    savedFolder_ = g_settings.lastDirectory;
    g_settings.recentFiles.clear();
    g_settings.recentProjects.clear();
    FrameTest::SetUp();
    ASSERT_NE(g_app.filePane, nullptr);
    tree_ = g_app.filePane->Tree();
    folder_ = TempFolder("quillon_file_pane");
  }
  void TearDown() override {
    if (g_app.project) g_app.project->settingsChanged = false;
    FrameTest::TearDown();
    g_settings.recentFiles = savedFiles_;
    g_settings.recentProjects = savedProjects_;
    g_settings.lastDirectory = savedFolder_;
  }
  // A project "demo" with a main source and an include, both relative, and the default listing.
  void LoadDemo() {
    WriteText(folder_ + "\\main.asm", "; main\r\n");
    WriteText(folder_ + "\\b.asm", "; b\r\n");
    WriteText(folder_ + "\\defs.inc", "; defs\r\n");
    CreateDirectoryA((folder_ + "\\obj").c_str(), nullptr);
    WriteText(folder_ + "\\obj\\demo.lst", "listing\r\n");
    WriteText(folder_ + "\\demo.qlp",
              "[project name]\r\ndemo\r\n[output name]\r\ndemo\r\n[source]\r\nmain.asm\r\n[source]\r\nb.asm\r\n"
              "[include]\r\ndefs.inc\r\n");
    ASSERT_TRUE(g_app.project->LoadProject(folder_ + "\\demo.qlp"));
  }
  void Select(const std::string& text) {
    HTREEITEM item = FindItem(tree_, text);
    ASSERT_NE(item, nullptr) << text;
    SendMessageA(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
  }
  // Enter on the selected node, as the tree reports it to the pane.
  void PressEnter() {
    NMHDR header{tree_, IDC_FILETREE, static_cast<UINT>(NM_RETURN)};
    SendMessageA(g_app.filePane->Window(), WM_NOTIFY, IDC_FILETREE, reinterpret_cast<LPARAM>(&header));
  }
  void PressDelete() { SendMessageA(tree_, WM_KEYDOWN, VK_DELETE, 0); }
  void ResizeClient(int width, int height) {
    RECT r{0, 0, width, height};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, TRUE);
    SetWindowPos(frame_, nullptr, 0, 0, Width(r), Height(r), SWP_NOZORDER | SWP_NOMOVE);
    PumpMessages(20);
  }
  // The three areas tile the space between toolbar and status bar.
  void ExpectTiled(const char* when) {
    RECT client;
    GetClientRect(frame_, &client);
    const int b = g_app.frameBorder;
    RECT files = RectIn(g_app.filePane->Window(), frame_);
    RECT mdi = RectIn(g_app.mdiClient, frame_);
    RECT status = RectIn(g_app.statusBar, frame_);
    const bool paneShown = g_app.outputPane->IsShown();
    const int bottom = paneShown ? RectIn(g_app.outputPane->Window(), frame_).top : status.top;
    EXPECT_EQ(files.left, -b) << when;
    EXPECT_EQ(files.top, Height(RectIn(g_app.toolBar, frame_))) << when;
    EXPECT_EQ(files.bottom, bottom) << when;
    EXPECT_EQ(mdi.left, files.right) << when;  // the pane starts at -B, so this is F - B
    EXPECT_EQ(mdi.top, files.top) << when;
    EXPECT_EQ(mdi.right, client.right) << when;
    EXPECT_EQ(mdi.bottom, bottom) << when;
  }

  HWND tree_ = nullptr;
  std::string folder_;
  std::vector<std::string> savedFiles_, savedProjects_;
  std::string savedFolder_;
};

TEST_F(FilePaneTest, FirstLayoutDraggedWidthAndWidthOnlyResizes) {
  // A fresh frame of client size 1000 x 600: the pane is W / 5 + B wide, the output pane H / 4 high.
  DestroyWindow(frame_);
  PumpMessages();
  RECT r{0, 0, 1000, 600};
  AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, TRUE);
  frame_ = CreateWindowExA(0, kFrameClass, kFrameTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, Width(r),
                           Height(r), nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(frame_, nullptr);
  ShowWindow(frame_, SW_SHOWNORMAL);
  PumpMessages(30);
  RECT client;
  GetClientRect(frame_, &client);
  ASSERT_EQ(client.right, 1000);
  ASSERT_EQ(client.bottom, 600);
  const int b = g_app.frameBorder;
  EXPECT_EQ(Width(RectIn(g_app.filePane->Window(), frame_)), 1000 / 5 + b);
  EXPECT_EQ(Height(RectIn(g_app.outputPane->Window(), frame_)), 150);
  ExpectTiled("first layout");

  // Dragging the right edge 50 pixels wider: the MDI client follows, and the width stays.
  RECT files = RectIn(g_app.filePane->Window(), frame_);
  SetWindowPos(g_app.filePane->Window(), nullptr, files.left, files.top, Width(files) + 50, Height(files),
               SWP_NOZORDER);
  ExpectTiled("after the drag");
  const struct {
    int width, height;
    bool paneShown;
  } sizes[] = {{1200, 600, true}, {700, 600, true}, {700, 500, false}, {1100, 500, false}, {900, 650, true}};
  for (const auto& size : sizes) {
    if (g_app.outputPane->IsShown() != size.paneShown) Command(IDM_TOOLS_OUTPUTPANE);
    ResizeClient(size.width, size.height);
    const std::string when = std::to_string(size.width) + "x" + std::to_string(size.height);
    EXPECT_EQ(Width(RectIn(g_app.filePane->Window(), frame_)), 1000 / 5 + b + 50) << when;
    EXPECT_EQ(Height(RectIn(g_app.outputPane->Window(), frame_)), 150) << when;
    ExpectTiled(when.c_str());
  }
  // Shown again after a resize while hidden, the output pane sits on the status bar, full width.
  Command(IDM_TOOLS_OUTPUTPANE);
  ResizeClient(800, 560);
  Command(IDM_TOOLS_OUTPUTPANE);
  RECT pane = RectIn(g_app.outputPane->Window(), frame_);
  EXPECT_EQ(pane.bottom, RectIn(g_app.statusBar, frame_).top);
  EXPECT_EQ(pane.right, 800 + b);
  ExpectTiled("shown after a resize");

  // Minimizing and restoring keeps every size.
  ShowWindow(frame_, SW_MINIMIZE);
  PumpMessages(20);
  ShowWindow(frame_, SW_RESTORE);
  PumpMessages(20);
  EXPECT_EQ(Width(RectIn(g_app.filePane->Window(), frame_)), 1000 / 5 + b + 50);
  EXPECT_EQ(Height(RectIn(g_app.outputPane->Window(), frame_)), 150);
  ExpectTiled("restored");

  // Only the right border resizes the pane.
  RECT proposed = files;
  SendMessageA(g_app.filePane->Window(), WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&proposed));
  RECT current;
  GetWindowRect(g_app.filePane->Window(), &current);
  EXPECT_TRUE(EqualRect(&proposed, &current));
}

TEST_F(FilePaneTest, TheTreeShowsTheProjectInTheModelsOrderWithItsImages) {
  EXPECT_EQ(TreeText(tree_), "no project #0\n Source Files #4\n Include Files #4\n Listing File #4\n Other Files #4\n");
  LoadDemo();
  EXPECT_EQ(TreeText(tree_),
            "demo #0\n Source Files #4\n  b.asm #1\n  main.asm #2\n Include Files #4\n  defs.inc #3\n"
            " Listing File #4\n  demo.lst #6\n Other Files #4\n");
  EXPECT_TRUE(
      SendMessageA(tree_, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(FindItem(tree_, "Source Files")), TVIS_EXPANDED) &
      TVIS_EXPANDED);
  // Removing the main source makes the remaining source the main one, in the tree as well.
  Select("main.asm");
  {
    DialogAnswerer answerer(DialogAnswerer::Press(IDYES));
    PressDelete();
  }
  EXPECT_EQ(g_app.project->mainSource, "b.asm");
  EXPECT_NE(TreeText(tree_).find("  b.asm #2\n"), std::string::npos) << TreeText(tree_);
}

TEST_F(FilePaneTest, EnterOpensTheFileFromTheProjectFolderAndListsItInRecentFiles) {
  LoadDemo();
  SetCurrentDirectoryA("C:\\");  // as a file chooser may leave it
  DialogAnswerer answerer(DialogAnswerer::Press(IDOK));
  Select("demo.lst");
  PressEnter();
  const std::string listing = folder_ + "\\obj\\demo.lst";
  EXPECT_TRUE(EqualsNoCase(ActiveDocumentPath(), listing)) << ActiveDocumentPath();
  ASSERT_EQ(g_settings.recentFiles.size(), 1u);
  EXPECT_TRUE(EqualsNoCase(g_settings.recentFiles[0], listing)) << g_settings.recentFiles[0];
  // The opened document is maximized; the submenu is still the one shown.
  Select("defs.inc");
  PressEnter();
  HMENU recent = GetSubMenu(GetSubMenu(GetMenu(frame_), IsZoomed(g_app.activeDocument) ? 1 : 0), 9);
  std::vector<int> ids;
  EXPECT_EQ(MenuLabels(recent, &ids), (std::vector<std::string>{g_settings.recentFiles[1], g_settings.recentFiles[0]}));
  EXPECT_EQ(ids, (std::vector<int>{10001, 10000}));

  // A double-click on a group only expands or collapses it; on a file it opens it.
  auto doubleClick = [&](const char* node) {
    HTREEITEM item = FindItem(tree_, node);
    RECT r{};
    std::memcpy(&r, &item, sizeof item);  // the message takes the item in the rectangle
    SendMessageA(tree_, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(tree_, &p);
    SetCursorPos(p.x, p.y);
    ScreenToClient(tree_, &p);
    PostMessageA(tree_, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    PumpMessages(30);
  };
  doubleClick("b.asm");
  EXPECT_TRUE(EqualsNoCase(ActiveDocumentPath(), folder_ + "\\b.asm")) << ActiveDocumentPath();
  EXPECT_EQ(g_settings.recentFiles.size(), 3u);
  doubleClick("Include Files");
  EXPECT_FALSE(
      SendMessageA(tree_, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(FindItem(tree_, "Include Files")), TVIS_EXPANDED) &
      TVIS_EXPANDED);
  EXPECT_EQ(g_settings.recentFiles.size(), 3u);

  // Groups and the root open nothing and add nothing.
  for (const char* node : {"Source Files", "demo"}) {
    Select(node);
    PressEnter();
  }
  EXPECT_EQ(g_settings.recentFiles.size(), 3u);
  EXPECT_TRUE(answerer.Seen().empty());
}

TEST_F(FilePaneTest, AddAndRemoveThroughTheCommandsAndTheDeleteKey) {
  // Without a project, the add commands show no chooser.
  {
    DialogAnswerer answerer(DialogAnswerer::Press(IDCANCEL));
    Command(IDM_PROJECT_ADDSOURCE);
    PumpMessages(50);
    EXPECT_TRUE(answerer.Seen().empty());
  }
  LoadDemo();
  const std::string extra = TempFolder("quillon_file_pane_extra") + "\\extra.inc";
  WriteText(extra, "; extra\r\n");
  auto choose = [&](const std::string& path) {
    return [path](HWND dialog, const SeenBox&) {
      SetControlText(dialog, 0x47C, path);
      PressButton(dialog, IDOK);
    };
  };
  {
    DialogAnswerer answerer(choose(extra));
    Command(IDM_PROJECT_ADDINCLUDE);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].caption, "Add include file");
  }
  EXPECT_NE(FindItem(tree_, "extra.inc"), nullptr);
  EXPECT_TRUE(g_app.project->settingsChanged);
  EXPECT_EQ(g_settings.lastDirectory, TempFolder("quillon_file_pane_extra"));
  {  // the same file again, as an other file: dropped without a message
    DialogAnswerer answerer(choose(extra));
    Command(IDM_PROJECT_ADDOTHER);
    EXPECT_EQ(answerer.Seen().size(), 1u);
  }
  EXPECT_EQ(TreeText(tree_).find("Other Files #4\n "), std::string::npos) << TreeText(tree_);

  // Delete on the root or a group removes nothing and asks nothing; on a file it asks first.
  DialogAnswerer answerer(DialogAnswerer::Press(IDYES));
  g_app.project->settingsChanged = false;
  for (const char* node : {"demo", "Other Files", "Include Files"}) {
    Select(node);
    PressDelete();
  }
  EXPECT_FALSE(g_app.project->settingsChanged);
  EXPECT_TRUE(answerer.Seen().empty());
  Select("extra.inc");
  Command(IDM_PROJECT_REMOVE);
  EXPECT_EQ(FindItem(tree_, "extra.inc"), nullptr);
  EXPECT_TRUE(g_app.project->settingsChanged);
  ASSERT_EQ(answerer.Seen().size(), 1u);
  EXPECT_EQ(answerer.Seen()[0].text, "Remove extra.inc from the project?");
  Select("demo.lst");
  PressDelete();
  EXPECT_EQ(FindItem(tree_, "demo.lst"), nullptr);
  EXPECT_EQ(g_app.project->listingPath, ".\\obj\\demo.lst");
}

TEST_F(FilePaneTest, RecentSubmenusShowThePathsAsTheyAreAndOpenTheEntryShown) {
  const std::string a = folder_ + "\\a.asm", b = folder_ + "\\R&D b.asm", c = folder_ + "\\c.asm";
  WriteText(a, "; a\r\n");
  WriteText(b, "; b\r\n");
  WriteText(c, "; c\r\n");
  AddRecentFile(a);
  AddRecentFile(b);
  AddRecentFile(c);
  AddRecentFile(a);  // listed once, as the newest
  HMENU recent = GetSubMenu(GetSubMenu(GetMenu(frame_), 0), 9);
  std::vector<int> ids;
  EXPECT_EQ(MenuLabels(recent, &ids), (std::vector<std::string>{a, c, folder_ + "\\R&&D b.asm"}));
  EXPECT_EQ(ids, (std::vector<int>{10002, 10001, 10000}));
  // An item opens the file it shows, without reordering the list.
  Command(10000);
  EXPECT_TRUE(EqualsNoCase(ActiveDocumentPath(), b)) << ActiveDocumentPath();
  EXPECT_EQ(g_settings.recentFiles, (std::vector<std::string>{b, c, a}));

  // Across a restart through the registry, the lists and the submenus come back.
  AddRecentProject(folder_ + "\\demo.qlp");
  const std::vector<std::string> savedFinds = g_settings.recentFinds;
  g_settings.recentFinds.clear();
  for (int i = 0; i < 20; ++i) AddRecent(g_settings.recentFinds, "find" + std::to_string(i), kRecentFindsCapacity);
  {
    RegistryStore store;
    g_settings.Save(store);
  }
  Settings next;
  {
    RegistryStore store;
    next.Load(store, "quillon.exe", "C:\\");
  }
  EXPECT_EQ(next.recentFiles, g_settings.recentFiles);
  EXPECT_EQ(next.recentProjects, g_settings.recentProjects);
  EXPECT_EQ(next.recentFinds, (std::vector<std::string>{"find15", "find16", "find17", "find18", "find19"}));
  g_settings.recentFinds = savedFinds;
  g_settings.recentFiles = next.recentFiles;
  g_settings.recentProjects = next.recentProjects;
  DestroyWindow(frame_);
  PumpMessages();
  frame_ = CreateFrameWindow(GetModuleHandleA(nullptr), SW_SHOWNORMAL);
  PumpMessages(30);
  HMENU file = GetSubMenu(GetMenu(frame_), 0);
  EXPECT_EQ(MenuLabels(GetSubMenu(file, 9)).size(), 3u);
  EXPECT_EQ(MenuLabels(GetSubMenu(file, 10)), (std::vector<std::string>{folder_ + "\\demo.qlp"}));
}

}  // namespace file_pane_test
}  // namespace quillon::test
